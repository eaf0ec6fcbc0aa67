// The collection station's costs: what storing a docking adds to its download (the rule
// for what is new, the records as the store keeps them, one transaction into a SQLite
// file with full synchronous commits), and what the station takes of a processor while
// it waits for a scanner.
#include <benchmark/benchmark.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "cli/new_records.h"
#include "cli/station.h"
#include "conversations/download.h"
#include "fake_host.h"
#include "fake_library.h"
#include "processor_share.h"
#include "scanner_fixture.h"
#include "store/store.h"

namespace {

namespace fs = std::filesystem;

class BenchFolder {
 public:
  BenchFolder() : path_(fs::temp_directory_path() / ("vkd-bench-" + std::to_string(::getpid()))) {
    fs::remove_all(path_);
    fs::create_directories(path_);
  }
  ~BenchFolder() { fs::remove_all(path_); }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A docking of N records stored as one batch of a scanner the store has not seen, as a
// station's first docking of it is.
void BM_store_docking(benchmark::State& state) {
  const auto records = static_cast<std::int32_t>(state.range(0));
  vkd::testing::FakeLibrary library(vkd::testing::scanner_with(records), vkd::testing::FakeLibrary::Recording::off);
  vkd::testing::InstantHost host;
  vkd::DownloadObserver quiet;
  vkd::Download download = vkd::download(library, host, vkd::PortRange{}, quiet);
  if (!download.complete()) state.SkipWithError("download incomplete");
  const BenchFolder folder;
  const auto store = vkd::store::open_store("sqlite:" + (folder.path() / "scans.db").string());
  std::int64_t scanner = 0;
  for (auto _ : state) {
    const std::string identifier = "10" + std::to_string(1000000000000000 + ++scanner).substr(2);
    const auto docking = store->docking(identifier, "2024-05-15T09:30:00");
    const vkd::cli::NewRecords rule = vkd::cli::new_records(docking->pending_records(), download);
    vkd::store::NewBatch batch;
    batch.station = "bench";
    batch.downloaded_at = "2024-05-15T09:30:00";
    batch.reported = download.count;
    for (std::size_t i = rule.first; i < rule.end; ++i) batch.records.push_back(vkd::cli::stored_record(download.records[i]));
    benchmark::DoNotOptimize(docking->add_batch(batch));
    docking->commit();
  }
  state.SetItemsProcessed(state.iterations() * records);
}
BENCHMARK(BM_store_docking)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

// A station with no scanner in its cradle, for a few of its polls: "cpu_per_wall" is the
// processor time it took over the wall time, its port searches and sleeps included.
void station_waiting_on_real_clocks(benchmark::State& state) {
  vkd::testing::FakeLibrary library(vkd::testing::FakeLibrary::Recording::off);
  library.script_all(vkd::testing::Function::csp2Init, {-1, std::nullopt});
  vkd::PortableHost host;
  const BenchFolder folder;
  const auto store = vkd::store::open_store("sqlite:" + (folder.path() / "scans.db").string());
  vkd::cli::StationSettings settings;
  settings.station = "bench";
  settings.poll = std::chrono::seconds(1);
  vkd::bench::measure_processor_share(state, [&] {
    std::ostringstream said;
    vkd::cli::StationEvents events(said, false);
    // Its stop request, as a service's stop would come, after four polls.
    std::thread stop([] {
      std::this_thread::sleep_for(std::chrono::milliseconds(4200));
      ::kill(::getpid(), SIGTERM);
    });
    vkd::cli::run_station(library, host, *store, settings, vkd::cli::StationRun{}, events);
    stop.join();
  });
}
BENCHMARK(station_waiting_on_real_clocks)->Iterations(1)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
