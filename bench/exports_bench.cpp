// alldata and alldata2 over a scanner holding many records, each read including its
// whole open_clicker, with a library that answers from memory and a host that never
// waits.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "component/clicker.h"
#include "counting_allocator.h"
#include "scanner_fixture.h"

namespace {

// The export alone: a read of the export less its download. A repeated download of like
// barcodes allocates nothing (its lists and their texts are used again in place), so
// what a read allocates beyond it is the export's, of which the text itself is the one
// allocation it may make.
std::size_t export_allocations(vkd::Clicker& clicker, vkd::Text (vkd::Clicker::*read)()) {
  clicker.open_clicker();
  std::size_t download = 0;
  {
    const vkd::bench::AllocationCount allocations;
    clicker.open_clicker();
    download = allocations.made();
  }
  const vkd::bench::AllocationCount allocations;
  const vkd::Text text = (clicker.*read)();
  benchmark::DoNotOptimize(text.data());
  return allocations.made() - download;
}

template <vkd::Text (vkd::Clicker::*read)()>
void BM_export(benchmark::State& state) {
  vkd::testing::ScannerBench bench(static_cast<std::int32_t>(state.range(0)));
  std::size_t characters = 0;
  for (auto _ : state) {
    const vkd::Text text = (bench.clicker.*read)();
    characters = text.size();
    benchmark::DoNotOptimize(text.data());
  }
  if (!bench.downloaded_all()) state.SkipWithError("download incomplete");
  state.SetItemsProcessed(state.iterations() * state.range(0));
  state.counters["characters"] = static_cast<double>(characters);
  const std::size_t allocations = export_allocations(bench.clicker, read);
  state.counters["export_allocs"] = static_cast<double>(allocations);
  if (allocations > 1) state.SkipWithError("the export allocates more than its text");
}
BENCHMARK(BM_export<&vkd::Clicker::alldata>)->Name("BM_alldata")->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_export<&vkd::Clicker::alldata2>)->Name("BM_alldata2")->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
