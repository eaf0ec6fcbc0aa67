// A shift of four stations on one PostgreSQL server, each with its own cradle (its own
// device file), and scanners that move between them: each docking takes a scanner that is
// free, scans into it, docks it at the station, waits for its end (emptied, or not
// emptied: an erase that fails by script) and lifts it out again, so that a scanner whose
// erase failed at one station is often docked at another next. Now and then the server
// is stopped at once (pg_ctl stop -m immediate) while a station's docking transaction is
// open: a lock of the test's holds the docking between its download and its commit, so
// that the stop always lands there. Meanwhile the scanner must keep every record, and
// after the server is back everything goes on. At the end the database holds every
// barcode exactly once, in order for each scanner, and every scanner is empty.
//
//   VKD_SHIFT_SEED=n chooses the moments again.
#include <gtest/gtest.h>

#include <condition_variable>
#include <deque>
#include <optional>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "station_support.h"
#include "test_server.h"

namespace vkd::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

constexpr char schema[] = "shift";

struct Scanner {
  std::string identifier;
  json barcodes = json::array();  // what it holds
  std::vector<std::string> scanned;
  int last_station = -1;
  bool kept_records = false;  // its last erase failed
};

// The scanners not in a cradle, for any station to take.
class Pool {
 public:
  void put(Scanner scanner) {
    {
      const std::lock_guard lock(mutex_);
      free_.push_back(std::move(scanner));
    }
    changed_.notify_one();
  }
  Scanner take() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty(); });
    Scanner scanner = std::move(free_.front());
    free_.pop_front();
    return scanner;
  }
  std::vector<Scanner> all() {
    const std::lock_guard lock(mutex_);
    return {free_.begin(), free_.end()};
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Scanner> free_;
};

class Cradle {
 public:
  // The station's connection carries its name, so that the test can tell its locks.
  Cradle(const fs::path& shift_folder, int number, const std::string& store)
      : folder_(shift_folder / ("cradle" + std::to_string(number))),
        device_(folder_ / "device.json"),
        station_({CLICKER_PATH, "collect", "--store", store + "&application_name=" + name_of(number), "--poll", "1",
                  "--station", name_of(number), "--port", "3"},
                 {"CSP2A_DEVICE=" + device_.path().string(), "CSP2A_TRACE=" + (folder_ / "trace.txt").string(),
                  "XDG_STATE_HOME=" + (folder_ / "state").string(),
                  "XDG_DATA_HOME=" + (folder_ / "data").string(), "HOME=" + folder_.string()},
                 folder_ / "station.txt") {
    fs::create_directories(folder_);
    device_.write(empty_cradle());
    station_.start();
  }

  static std::string name_of(int number) { return "station" + std::to_string(number); }

  StationProcess& station() { return station_; }
  json held() const { return device_.read()["barcodes"]; }
  std::string trace() const { return read_text(folder_ / "trace.txt"); }

  // Put in its cradle as it is; its erase fails while it stays there when so planned.
  void dock(const Scanner& scanner, bool failing_erase) {
    device_.change([&](json& device) {
      device = {{"port", 3}, {"id", scanner.identifier}, {"docked", true}, {"barcodes", scanner.barcodes}};
      if (failing_erase) device["script"] = json::array({{{"call", "csp2ClearData"}, {"result", 2}}});
    });
  }
  // Taken out, with what it holds; the script of this cradle stays behind.
  void lift(Scanner& scanner) {
    device_.change([&](json& device) {
      scanner.barcodes = device["barcodes"];
      device = empty_cradle();
    });
  }

 private:
  static json empty_cradle() { return {{"port", 3}, {"docked", false}, {"barcodes", json::array()}}; }

  fs::path folder_;
  DeviceFile device_;
  StationProcess station_;
};

class PostgresqlShift {
 public:
  PostgresqlShift(const TestServer& server, unsigned seed, int stations)
      : server_(server), seed_(seed), folder_(fs::temp_directory_path() / ("vkd-pg-shift-" + std::to_string(::getpid()))) {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    server_.give_schema(schema);
    for (int n = 0; n < stations; ++n) cradles_.push_back(std::make_unique<Cradle>(folder_, n, store()));
    for (int n = 0; n < stations + 2; ++n) {
      Scanner scanner;
      scanner.identifier = "20000000000000" + std::to_string(10 + n);
      pool_.put(std::move(scanner));
    }
  }
  ~PostgresqlShift() {
    cradles_.clear();
    fs::remove_all(folder_);
  }

  std::string store() const { return server_.location(schema); }

  // Each station's dockings at once, the server stopped at the first station's dockings
  // numbered in `crashes`; then every scanner that kept records docked once more to empty it.
  void play(int dockings_each, const std::set<int>& crashes) {
    std::vector<std::thread> threads;
    for (int n = 0; n < static_cast<int>(cradles_.size()); ++n) {
      threads.emplace_back([&, n] {
        std::mt19937 random(seed_ * 31 + static_cast<unsigned>(n));
        for (int docking = 0; docking < dockings_each && !::testing::Test::HasFatalFailure(); ++docking) {
          // Each station fails its first erase, so that some scanner always moves on with its records.
          const bool failing_erase = docking == 0 || std::uniform_real_distribution(0.0, 1.0)(random) < 0.3;
          play_docking(n, random, failing_erase, n == 0 && crashes.contains(docking));
        }
      });
    }
    for (std::thread& thread : threads) thread.join();
    if (::testing::Test::HasFatalFailure()) return;
    std::mt19937 random(seed_);
    for (std::size_t n = pool_.all().size(); n > 0 && !::testing::Test::HasFatalFailure(); --n) {
      play_docking(std::nullopt, random, false, false, 0);
    }
  }

  void check(int crashes_planned) {
    for (auto& cradle : cradles_) cradle->station().stop(SIGTERM);
    const auto stored = stored_by_scanner(store(), folder_ / "export.jsonl");
    for (const Scanner& scanner : pool_.all()) {
      SCOPED_TRACE(scanner.identifier);
      EXPECT_EQ(scanner.barcodes, json::array());
      const auto found = stored.find(scanner.identifier);
      ASSERT_NE(found, stored.end());
      EXPECT_EQ(found->second, scanner.scanned);
    }
    EXPECT_EQ(crashes_, crashes_planned);
    EXPECT_GT(moves_after_failed_erase_, 0) << "no scanner came to another station after a failed erase";
    // Each outage is said once by each station that met it, and so is its end.
    for (auto& cradle : cradles_) {
      const std::string said = cradle->station().events();
      const auto count = [&](const std::string& text) {
        int found = 0;
        for (std::size_t at = said.find(text); at != std::string::npos; at = said.find(text, at + 1)) ++found;
        return found;
      };
      EXPECT_LE(count("until it works again"), crashes_planned) << said;
      EXPECT_EQ(count("until it works again"), count("store: works again")) << said;
    }
    std::cout << "dockings: " << dockings_ << "; moved after a failed erase: " << moves_after_failed_erase_
              << "; server stopped mid-transaction: " << crashes_ << "\n";
  }

 private:
  // At `station`, or (none) at one other than the scanner's last: a station does not see a
  // scanner lifted and put back between two of its polls, and takes it for the same docking
  // when it holds what it held.
  void play_docking(std::optional<int> at, std::mt19937& random, bool failing_erase, bool crash, int scans = -1) {
    Scanner scanner = pool_.take();
    const int station = at.value_or((scanner.last_station + 1) % static_cast<int>(cradles_.size()));
    if (scans != 0 || !scanner.barcodes.empty()) dock_at(station, scanner, random, failing_erase, crash, scans);
    pool_.put(std::move(scanner));  // also after a failure, for the other stations
  }

  void dock_at(int station, Scanner& scanner, std::mt19937& random, bool failing_erase, bool crash, int scans) {
    if (scans < 0) scans = std::uniform_int_distribution(1, 4)(random);
    for (int i = 0; i < scans; ++i) {
      scanner.barcodes.push_back(nth_scan(scanner.identifier, static_cast<int>(scanner.scanned.size())));
      scanner.scanned.push_back(scanner.barcodes.back()["text"]);
    }
    if (scanner.kept_records && scanner.last_station != station) ++moves_after_failed_erase_;
    Cradle& cradle = *cradles_[static_cast<std::size_t>(station)];
    const std::size_t from = cradle.station().events_so_far();
    const std::size_t trace_from = cradle.trace().size();
    {
      // The test's lock on the records makes the docking wait between its download and its commit.
      std::optional<TestServer::Held> lock;
      if (crash) lock.emplace(server_.hold("LOCK TABLE " + std::string(schema) + ".records IN SHARE MODE"));
      cradle.dock(scanner, failing_erase);
      if (crash) stop_server_under(cradle, Cradle::name_of(station), from, scanner.barcodes);
    }
    const auto deadline = std::chrono::steady_clock::now() + 180s;
    for (;;) {
      const bool not_emptied = cradle.station().events().substr(from).find(" not emptied") != std::string::npos;
      if (failing_erase ? not_emptied : cradle.held().empty()) break;
      ASSERT_FALSE(not_emptied && !failing_erase)
          << "scanner " << scanner.identifier << " was not emptied at station " << station << ", which said:\n"
          << cradle.station().events().substr(from) << "its library's calls:\n" << cradle.trace().substr(trace_from);
      ASSERT_LT(std::chrono::steady_clock::now(), deadline)
          << "scanner " << scanner.identifier << " never came to its end; station " << station << " said:\n"
          << cradle.station().events();
      std::this_thread::sleep_for(20ms);
    }
    cradle.lift(scanner);
    scanner.last_station = station;
    scanner.kept_records = !scanner.barcodes.empty();
    ++dockings_;
  }

  // The docking is held before its commit: the server stops, the scanner keeps every
  // record while it is away, through the station's first tries again, and it comes back.
  void stop_server_under(Cradle& cradle, const std::string& name, std::size_t from, const json& barcodes) {
    const auto deadline = std::chrono::steady_clock::now() + 60s;
    while (server_.admin("SELECT count(*) FROM pg_locks l JOIN pg_stat_activity a ON a.pid = l.pid "
                         "WHERE NOT l.granted AND a.application_name = '" + name + "'") == "0") {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline) << "the docking never waited:\n"
                                                            << cradle.station().events();
      std::this_thread::sleep_for(5ms);
    }
    const std::string said = cradle.station().events().substr(from);
    ASSERT_NE(said.find(" downloaded "), std::string::npos) << said;
    ASSERT_EQ(said.find(" stored as batch "), std::string::npos) << said;
    server_.crash();
    ++crashes_;
    ASSERT_TRUE(cradle.station().wait_for_event("until it works again", from, 30s)) << cradle.station().events();
    std::this_thread::sleep_for(4s);  // past the station's first try again
    EXPECT_EQ(cradle.held(), barcodes) << "erased while the server was away";
    server_.resume();
  }

  const TestServer& server_;
  unsigned seed_;
  fs::path folder_;
  std::vector<std::unique_ptr<Cradle>> cradles_;
  Pool pool_;
  std::atomic<int> dockings_ = 0;
  std::atomic<int> moves_after_failed_erase_ = 0;
  int crashes_ = 0;
};

unsigned chosen_seed() {
  if (const char* given = std::getenv("VKD_SHIFT_SEED")) return static_cast<unsigned>(std::stoul(given));
  return std::random_device{}();
}

void play_shift(int dockings_each, const std::set<int>& crashes) {
  const auto server = TestServer::find();
  ASSERT_TRUE(server) << "no test server answers where VKD_TEST_POSTGRESQL says (CTest starts one)";
  const unsigned seed = chosen_seed();
  std::cout << "shift: 4 stations, " << dockings_each << " dockings each, seed " << seed << " (VKD_SHIFT_SEED)\n";
  PostgresqlShift shift(*server, seed, 4);
  shift.play(dockings_each, crashes);
  if (::testing::Test::HasFatalFailure()) return;
  shift.check(static_cast<int>(crashes.size()));
}

// The everyday run: a few dockings each, the server stopped once.
TEST(PostgresqlShift, ShortShiftWithTheServerStoppedOnce) { play_shift(5, {2}); }

// 200 dockings, the server stopped three times.
TEST(PostgresqlShift, WholeShiftWithTheServerStoppedThreeTimes) { play_shift(50, {10, 25, 40}); }

}  // namespace
}  // namespace vkd::testing
