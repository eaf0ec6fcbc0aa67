// The double's share of BM_open_clicker: the library calls that one open_clicker makes,
// made on their own through the same double, so that the component's own share is the
// difference between the two.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "component/clicker.h"
#include "library_calls.h"
#include "scanner_fixture.h"

namespace {

vkd::bench::LibraryCalls calls_of_open_clicker(std::int32_t records) {
  vkd::testing::FakeLibrary recording{vkd::testing::scanner_with(records)};
  vkd::testing::InstantHost host;
  vkd::Clicker clicker{recording, host};
  clicker.open_clicker();
  return vkd::bench::LibraryCalls(recording.calls());
}

void BM_open_clicker_library_calls(benchmark::State& state) {
  const auto records = static_cast<std::int32_t>(state.range(0));
  vkd::bench::LibraryCalls calls = calls_of_open_clicker(records);
  vkd::testing::ScannerBench bench(records);
  std::size_t alike = 0;
  for (auto _ : state) {
    alike = calls.replay(bench.library);
    benchmark::DoNotOptimize(alike);
  }
  if (alike != calls.size()) state.SkipWithError("the double answered otherwise than to open_clicker");
  state.counters["calls"] = static_cast<double>(calls.size());
}
BENCHMARK(BM_open_clicker_library_calls)->Arg(1000)->Arg(32767)->Unit(benchmark::kMillisecond);

}  // namespace
