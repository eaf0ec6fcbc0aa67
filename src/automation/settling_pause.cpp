#include <chrono>

#include "automation/host.h"

namespace vkd {

namespace {

// The scanner's own measure: the clock difference in days, times 100000, reaching 1.5.
bool local_clock_says_settled(std::int32_t start, std::int32_t now) {
  const double elapsed_days = (now - start) / 86400.0;
  return elapsed_days * 100000 >= 1.5;
}

constexpr std::chrono::seconds monotonic_bound{2};

}  // namespace

void settling_pause(Host& host) {
  const std::int32_t start = host.local_seconds_of_day();
  const std::chrono::nanoseconds monotonic_start = host.monotonic_time();
  while (!local_clock_says_settled(start, host.local_seconds_of_day()) &&
         host.monotonic_time() - monotonic_start < monotonic_bound) {
    host.run_pending_events();
    host.wait_briefly();
  }
}

}  // namespace vkd
