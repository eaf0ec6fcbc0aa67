#pragma once
// Wall time and the process's processor time since the stopwatch started; the wall time
// from the performance counter, as Wine's tick count moves in steps of up to 16 ms.
#include <windows.h>

#include <cstdint>

namespace vkd::testing {

class Stopwatch {
 public:
  Stopwatch() : wall_start_(counter()), processor_start_(processor_100ns()) {}

  double wall_ms() const {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter() - wall_start_) * 1000.0 / static_cast<double>(frequency.QuadPart);
  }
  double processor_ms() const { return static_cast<double>(processor_100ns() - processor_start_) / 10000.0; }

 private:
  static std::int64_t counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
  }
  static std::uint64_t processor_100ns() {
    FILETIME created, ended, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
    const auto value = [](FILETIME t) { return (std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime; };
    return value(kernel) + value(user);
  }

  std::int64_t wall_start_;
  std::uint64_t processor_start_;
};

}  // namespace vkd::testing
