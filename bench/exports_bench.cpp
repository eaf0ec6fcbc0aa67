// alldata and alldata2 over a scanner holding many records, each read including its
// whole open_clicker, with a library that answers from memory and a host that never
// waits.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>

#include "component/clicker.h"
#include "scanner_fixture.h"

namespace {

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
}
BENCHMARK(BM_export<&vkd::Clicker::alldata>)->Name("BM_alldata")->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_export<&vkd::Clicker::alldata2>)->Name("BM_alldata2")->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
