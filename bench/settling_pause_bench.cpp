// The settling pause on the real clocks: it must wait, not spin. The "cpu_per_wall"
// counter is the process's processor time over the wall time the pauses took.
#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

#include "automation/host.h"

namespace {

void settling_pause_on_real_clocks(benchmark::State& state) {
  vkd::PortableHost host;
  std::clock_t processor_ticks = 0;
  std::chrono::steady_clock::duration wall{};
  for (auto _ : state) {
    const std::clock_t processor_start = std::clock();
    const auto wall_start = std::chrono::steady_clock::now();
    vkd::settling_pause(host);
    wall += std::chrono::steady_clock::now() - wall_start;
    processor_ticks += std::clock() - processor_start;
  }
  const double processor_seconds = static_cast<double>(processor_ticks) / CLOCKS_PER_SEC;
  state.counters["cpu_per_wall"] = processor_seconds / std::chrono::duration<double>(wall).count();
}

BENCHMARK(settling_pause_on_real_clocks)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
