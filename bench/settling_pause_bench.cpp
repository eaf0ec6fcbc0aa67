// The settling pause on the real clocks: it must wait, not spin.
#include <benchmark/benchmark.h>

#include "automation/host.h"
#include "processor_share.h"

namespace {

void settling_pause_on_real_clocks(benchmark::State& state) {
  vkd::PortableHost host;
  vkd::bench::measure_processor_share(state, [&] { vkd::settling_pause(host); });
}

BENCHMARK(settling_pause_on_real_clocks)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
