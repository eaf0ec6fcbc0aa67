// open_clicker over a scanner holding many records: the cost of the download and its
// decoding, with a library that answers from memory and a host that never waits.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "component/clicker.h"
#include "scanner_fixture.h"

namespace {

void BM_open_clicker(benchmark::State& state) {
  const auto records = static_cast<std::int32_t>(state.range(0));
  vkd::testing::ScannerBench bench(records);
  vkd::Clicker& clicker = bench.clicker;
  for (auto _ : state) {
    clicker.open_clicker();
    benchmark::DoNotOptimize(clicker.state().barcode_times->back());
  }
  if (!bench.downloaded_all()) state.SkipWithError("download incomplete");
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["per_record"] =
      benchmark::Counter(static_cast<double>(state.iterations() * records),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_open_clicker)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
