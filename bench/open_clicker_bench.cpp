// open_clicker over a scanner holding many records: the cost of the download and its
// decoding, with a library that answers from memory and a host that never waits.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "component/clicker.h"
#include "counting_allocator.h"
#include "scanner_fixture.h"

namespace {

// Beyond one per record (the barcode's text), a download allocates only a few things
// that do not grow with the records: the three lists, the connection log, the clock's
// and version's texts.
constexpr double allocations_not_per_record = 16;

void BM_open_clicker(benchmark::State& state) {
  const auto records = static_cast<std::int32_t>(state.range(0));
  vkd::testing::ScannerBench bench(records);
  vkd::Clicker& clicker = bench.clicker;
  std::size_t most_allocations = 0;  // of any run
  for (auto _ : state) {
    const vkd::bench::AllocationCount allocations;
    clicker.open_clicker();
    most_allocations = std::max(most_allocations, allocations.made());
    benchmark::DoNotOptimize(clicker.num_barcodes());
  }
  if (!bench.downloaded_all()) state.SkipWithError("download incomplete");
  state.SetItemsProcessed(state.iterations() * records);
  state.counters["per_record"] =
      benchmark::Counter(static_cast<double>(state.iterations() * records),
                         benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["allocs_per_record"] = static_cast<double>(most_allocations) / records;
  if (static_cast<double>(most_allocations) > records + allocations_not_per_record) {
    state.SkipWithError("the download allocates more than once per record");
  }
}
BENCHMARK(BM_open_clicker)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
