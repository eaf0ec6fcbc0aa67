// What a piece of waiting work takes of a processor: the benchmarks of pauses and idle
// polls must show that they sleep, not spin.
#pragma once

#include <benchmark/benchmark.h>

#include <chrono>
#include <ctime>

namespace vkd::bench {

// Runs the work once per iteration and sets the counter "cpu_per_wall": the process's
// processor time over the wall time the work took.
template <typename Work>
void measure_processor_share(benchmark::State& state, Work&& work) {
  std::clock_t processor_ticks = 0;
  std::chrono::steady_clock::duration wall{};
  for (auto _ : state) {
    const std::clock_t processor_start = std::clock();
    const auto wall_start = std::chrono::steady_clock::now();
    work();
    wall += std::chrono::steady_clock::now() - wall_start;
    processor_ticks += std::clock() - processor_start;
  }
  const double processor_seconds = static_cast<double>(processor_ticks) / CLOCKS_PER_SEC;
  state.counters["cpu_per_wall"] = processor_seconds / std::chrono::duration<double>(wall).count();
}

}  // namespace vkd::bench
