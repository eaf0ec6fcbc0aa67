#pragma once
// A host whose clocks move only when they are read, so that no test waits in real time.
#include <chrono>
#include <cstdint>
#include <functional>

#include "automation/host.h"

namespace vkd::testing {

class FakeHost final : public Host {
 public:
  // Each reading returns the current value, then advances it by the step.
  std::int32_t seconds_of_day = 14 * 3600 + 25 * 60 + 1;  // 14:25:01
  std::int32_t seconds_step = 1;
  std::chrono::nanoseconds monotonic = std::chrono::seconds(1000);
  std::chrono::nanoseconds monotonic_step = std::chrono::milliseconds(1);

  // Runs when the component lets the host's events run (may call into the object).
  std::function<void()> on_events;
  // Runs at each reading of the local clock, before it is read (may throw).
  std::function<void()> on_clock;

  int clock_readings = 0;
  int monotonic_readings = 0;
  int events_runs = 0;
  int waits = 0;

  std::int32_t local_seconds_of_day() override {
    ++clock_readings;
    if (on_clock) on_clock();
    const std::int32_t now = seconds_of_day;
    seconds_of_day = (seconds_of_day + seconds_step) % 86400;
    if (seconds_of_day < 0) seconds_of_day += 86400;
    return now;
  }
  std::chrono::nanoseconds monotonic_time() override {
    ++monotonic_readings;
    const auto now = monotonic;
    monotonic += monotonic_step;
    return now;
  }
  void run_pending_events() override {
    ++events_runs;
    if (on_events) on_events();
  }
  void wait_briefly() override { ++waits; }
};

// A host whose clock jumps far ahead at every reading: every settling pause ends at its
// first check, for benchmarks.
class InstantHost final : public Host {
 public:
  std::int32_t local_seconds_of_day() override { return seconds_ = (seconds_ + 10) % 86400; }
  std::chrono::nanoseconds monotonic_time() override { return monotonic_ += std::chrono::seconds(10); }
  void run_pending_events() override {}
  void wait_briefly() override {}

 private:
  std::int32_t seconds_ = 0;
  std::chrono::nanoseconds monotonic_{0};
};

}  // namespace vkd::testing
