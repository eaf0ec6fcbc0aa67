// A shift at a collection station, played on simulated scanners: each scanner is lifted
// from its cradle, scanned into, and put back again and again, while its station (one
// process per scanner, all into one SQLite store) is killed with SIGKILL at random moments
// and at chosen points (the download's last packet, just after the download, between the
// commit and the erase, the clear command) and started again. At the end the store holds
// every barcode scanned exactly once, in order for each scanner, and every scanner is
// empty: a station that never erases cannot pass, nor one that loses or repeats a scan.
//
//   VKD_SHIFT_SEED=n chooses the moments again.
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>
#include <sstream>
#include <string>
#include <thread>
#include <variant>
#include <vector>

#include "nlohmann/json.hpp"
#include "station_support.h"

extern char** environ;

namespace vkd::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;
using namespace std::chrono_literals;

// Where a kill lands.
enum class KillPoint { none, random_moment, last_packet, downloaded, committed, clear_command };
constexpr std::array chosen_points = {KillPoint::random_moment, KillPoint::last_packet, KillPoint::downloaded,
                                      KillPoint::committed, KillPoint::clear_command};

const char* name_of(KillPoint point) {
  switch (point) {
    case KillPoint::random_moment:
      return "a random moment";
    case KillPoint::last_packet:
      return "the download's last packet";
    case KillPoint::downloaded:
      return "just after the download";
    case KillPoint::committed:
      return "between the commit and the erase";
    case KillPoint::clear_command:
      return "the clear command";
    default:
      return "no kill";
  }
}

class Shift {
 public:
  explicit Shift(unsigned seed) : seed_(seed) {
    folder_ = fs::temp_directory_path() / ("vkd-shift-" + std::to_string(::getpid()));
    fs::remove_all(folder_);
    fs::create_directories(folder_);
  }
  ~Shift() { fs::remove_all(folder_); }

  std::string store() const { return "sqlite:" + (folder_ / "scans.db").string(); }
  const fs::path& folder() const { return folder_; }
  unsigned seed() const { return seed_; }

  void count_kill(KillPoint point) {
    const std::lock_guard lock(mutex_);
    ++kills_[point];
  }
  std::map<KillPoint, int> kills() const {
    const std::lock_guard lock(mutex_);
    return kills_;
  }

 private:
  unsigned seed_;
  fs::path folder_;
  mutable std::mutex mutex_;
  std::map<KillPoint, int> kills_;
};

// One scanner, its device file, and the station process that serves it.
class ShiftScanner {
 public:
  ShiftScanner(Shift& shift, int number)
      : shift_(shift),
        random_(shift.seed() + number),
        folder_(shift.folder() / ("scanner" + std::to_string(number))),
        device_(folder_ / "device.json"),
        station_({CLICKER_PATH, "collect", "--store", shift.store(), "--poll", "1", "--station",
                  "station" + std::to_string(number), "--port", "3"},
                 {"CSP2A_DEVICE=" + device_.path().string(), "CSP2A_TRACE=" + trace().string(),
                  "XDG_STATE_HOME=" + (folder_ / "state").string(), "XDG_DATA_HOME=" + (folder_ / "data").string(),
                  "HOME=" + folder_.string()},
                 folder_ / "station.txt") {
    fs::create_directories(folder_);
    std::ostringstream id;
    id << std::hex << std::uppercase << (0x1000000000000000ULL + static_cast<unsigned long long>(number));
    identifier_ = id.str();
    device_.write({{"port", 3}, {"id", identifier_}, {"docked", false}, {"barcodes", json::array()}});
    station_.start();
  }

  const std::string& identifier() const { return identifier_; }
  const std::vector<std::string>& scanned() const { return scanned_; }

  // One docking: scanned into while lifted, put back, and awaited until its station has
  // emptied it, the station killed on the way when the plan says so.
  void play_docking(KillPoint plan) {
    const std::size_t trace_from = read_text(trace()).size();
    const std::size_t err_from = station_.events_so_far();
    const std::size_t held = scan_and_dock();
    if (plan != KillPoint::none) kill_at(plan, trace_from, err_from, held);
    wait_until_empty();
  }

  // Lifted, scanned into, put back: how many records it then holds.
  std::size_t scan_and_dock() {
    device_.change([this](json& device) {
      device["docked"] = false;
      const int scans = std::uniform_int_distribution(1, 4)(random_);
      for (int i = 0; i < scans; ++i) {
        device["barcodes"].push_back(nth_scan(identifier_, static_cast<int>(scanned_.size())));
        scanned_.push_back(device["barcodes"].back()["text"]);
      }
    });
    const std::size_t held = device()["barcodes"].size();
    device_.change([](json& device) { device["docked"] = true; });
    return held;
  }

  void wait_until_empty() {
    const auto deadline = std::chrono::steady_clock::now() + 120s;
    while (!device()["barcodes"].empty()) {
      ASSERT_LT(std::chrono::steady_clock::now(), deadline)
          << "scanner " << identifier_ << " was not emptied; its station said:\n" << station_.events();
      std::this_thread::sleep_for(50ms);
    }
  }

  // Waits until the station has said `text` (after what it said before `from`).
  void wait_for_event(const std::string& text, std::size_t from) const {
    ASSERT_TRUE(station_.wait_for_event(text, from, 60s)) << "the station never said " << text << ":\n"
                                                         << station_.events();
  }
  std::size_t events_so_far() const { return station_.events_so_far(); }

  // The most the station's process may write into one file, in bytes (none: no limit).
  void limit_file_size(std::optional<rlim_t> bytes) const {
    struct rlimit limit {};
    ASSERT_EQ(::prlimit(station_.pid(), RLIMIT_FSIZE, nullptr, &limit), 0);
    limit.rlim_cur = bytes.value_or(limit.rlim_max);
    ASSERT_EQ(::prlimit(station_.pid(), RLIMIT_FSIZE, &limit, nullptr), 0);
  }

  void stop_station(int signal) { station_.stop(signal); }

  json device() const { return device_.read(); }

 private:
  fs::path trace() const { return folder_ / "trace.txt"; }

  bool traced_soon(const std::string& text, std::size_t from) const {
    for (int i = 0; i < 100; ++i) {
      if (read_text(trace()).substr(from).find(text) != std::string::npos) return true;
      std::this_thread::sleep_for(5ms);
    }
    return false;
  }

  // Waits for the point to show in the trace or the station's events (or for a random
  // moment), kills the station there and starts it again. A point that never shows (the
  // station was quicker than the watch) counts as no kill.
  void kill_at(KillPoint plan, std::size_t trace_from, std::size_t err_from, std::size_t held) {
    const auto deadline = std::chrono::steady_clock::now() + 30s;
    if (plan == KillPoint::random_moment) {
      std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution(0, 6000)(random_)));
    } else {
      const std::string last_packet = "csp2GetPacket record=" + std::to_string(held - 1) + " ";
      for (;;) {
        if (std::chrono::steady_clock::now() > deadline) return;
        // Whether it is emptied, taken before the trace: the clear command writes the file
        // before its line reaches the trace, and a kill right then still counts.
        const bool emptied = device()["barcodes"].empty();
        const std::string traced = read_text(trace()).substr(trace_from);
        const std::string said = station_.events().substr(err_from);
        const bool reached = (plan == KillPoint::last_packet && traced.find(last_packet) != std::string::npos) ||
                             (plan == KillPoint::downloaded && said.find(" downloaded ") != std::string::npos) ||
                             (plan == KillPoint::committed && said.find(" stored as batch ") != std::string::npos) ||
                             (plan == KillPoint::clear_command && traced.find("csp2ClearData") != std::string::npos);
        if (reached) break;
        // Emptied before the point was seen; but the clear command's line reaches the
        // trace only once the device file it emptied is on the disk, a moment later.
        if (emptied && (plan != KillPoint::clear_command || !traced_soon("csp2ClearData", trace_from))) return;
        if (emptied) break;
        std::this_thread::sleep_for(1ms);
      }
    }
    station_.stop(SIGKILL);
    shift_.count_kill(plan);
    station_.start();
  }

  Shift& shift_;
  std::mt19937 random_;
  fs::path folder_;
  DeviceFile device_;
  std::string identifier_;
  std::vector<std::string> scanned_;
  StationProcess station_;
};

unsigned chosen_seed() {
  if (const char* given = std::getenv("VKD_SHIFT_SEED")) return static_cast<unsigned>(std::stoul(given));
  return std::random_device{}();
}

std::map<std::string, std::vector<std::string>> stored_by_scanner(const Shift& shift) {
  return vkd::testing::stored_by_scanner(shift.store(), shift.folder() / "export.jsonl");
}

void play_shift(int scanners, int dockings_each, double kill_share) {
  const unsigned seed = chosen_seed();
  std::cout << "shift: " << scanners << " scanners, " << dockings_each << " dockings each, seed " << seed
            << " (VKD_SHIFT_SEED)\n";
  Shift shift(seed);
  std::vector<std::unique_ptr<ShiftScanner>> played;
  for (int n = 1; n <= scanners; ++n) played.push_back(std::make_unique<ShiftScanner>(shift, n));
  std::vector<std::thread> threads;
  for (int n = 0; n < scanners; ++n) {
    threads.emplace_back([&, n] {
      std::mt19937 random(seed * 31 + static_cast<unsigned>(n));
      for (int docking = 0; docking < dockings_each; ++docking) {
        KillPoint plan = KillPoint::none;
        if (std::uniform_real_distribution(0.0, 1.0)(random) < kill_share) {
          // Each scanner goes through the chosen points in turn, from a point of its own.
          plan = chosen_points[(static_cast<std::size_t>(docking) + static_cast<std::size_t>(n)) % chosen_points.size()];
        }
        played[static_cast<std::size_t>(n)]->play_docking(plan);
        if (::testing::Test::HasFatalFailure()) return;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  for (auto& scanner : played) scanner->stop_station(SIGTERM);

  const auto stored = stored_by_scanner(shift);
  for (const auto& scanner : played) {
    SCOPED_TRACE(scanner->identifier());
    EXPECT_EQ(scanner->device()["barcodes"], json::array());
    const auto found = stored.find(scanner->identifier());
    ASSERT_NE(found, stored.end());
    EXPECT_EQ(found->second, scanner->scanned());
  }
  const auto kills = shift.kills();
  for (const KillPoint point : chosen_points) {
    EXPECT_GT(kills.contains(point) ? kills.at(point) : 0, 0) << "no kill at " << name_of(point) << "; seed " << seed;
  }
  for (const auto& [point, count] : kills) std::cout << "killed at " << name_of(point) << ": " << count << "\n";
}

// The everyday run: every kind of kill, a few times.
TEST(Shift, ShortShiftWithKillsAtEveryPoint) { play_shift(5, 5, 1.0); }

// 200 dockings of 5 scanners.
TEST(Shift, WholeShiftWithKillsAtRandom) { play_shift(5, 40, 0.4); }

// Another program holds the store's write lock for a while: the station leaves the
// scanner as it is, says so, and stores and empties it once the lock is gone.
TEST(Store, ALockedStoreKeepsTheScansUntilItIsFree) {
  Shift shift(chosen_seed());
  ShiftScanner scanner(shift, 1);
  scanner.play_docking(KillPoint::none);  // the store exists

  int to_locker[2], from_locker[2];
  ASSERT_EQ(::pipe(to_locker), 0);
  ASSERT_EQ(::pipe(from_locker), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, to_locker[0], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, from_locker[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, to_locker[1]);
  posix_spawn_file_actions_addclose(&actions, from_locker[0]);
  const std::string file = (shift.folder() / "scans.db").string();
  char* argv[] = {const_cast<char*>(STORE_LOCKER), const_cast<char*>(file.c_str()), nullptr};
  pid_t locker = -1;
  ASSERT_EQ(posix_spawn(&locker, STORE_LOCKER, &actions, nullptr, argv, environ), 0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(to_locker[0]);
  ::close(from_locker[1]);
  char said[8] = {};
  ASSERT_GT(::read(from_locker[0], said, sizeof said - 1), 0);
  ASSERT_EQ(std::string(said).substr(0, 6), "locked");

  const std::size_t from = scanner.events_so_far();
  const std::size_t held = scanner.scan_and_dock();
  scanner.wait_for_event(" store: ", from);
  std::this_thread::sleep_for(2s);  // a turn or two more
  EXPECT_EQ(scanner.device()["barcodes"].size(), held);

  ::close(to_locker[1]);
  int status = 0;
  ::waitpid(locker, &status, 0);
  ::close(from_locker[0]);
  scanner.wait_until_empty();
  scanner.stop_station(SIGTERM);
  EXPECT_EQ(stored_by_scanner(shift)[scanner.identifier()], scanner.scanned());
}

// The store's disk is full (the station may not grow a file past a few bytes): the scanner
// keeps its records until there is room again.
TEST(Store, AFullDiskKeepsTheScansUntilThereIsRoom) {
  Shift shift(chosen_seed());
  ShiftScanner scanner(shift, 1);
  scanner.play_docking(KillPoint::none);

  scanner.limit_file_size(512);
  const std::size_t from = scanner.events_so_far();
  const std::size_t held = scanner.scan_and_dock();
  scanner.wait_for_event(" store: ", from);
  std::this_thread::sleep_for(2s);
  EXPECT_EQ(scanner.device()["barcodes"].size(), held);

  scanner.limit_file_size(std::nullopt);
  scanner.wait_until_empty();
  scanner.stop_station(SIGTERM);
  EXPECT_EQ(stored_by_scanner(shift)[scanner.identifier()], scanner.scanned());
}

}  // namespace
}  // namespace vkd::testing
