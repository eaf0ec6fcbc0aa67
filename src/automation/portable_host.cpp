#include <chrono>
#include <ctime>
#include <thread>

#include "automation/host.h"

namespace vkd {

std::int32_t PortableHost::local_seconds_of_day() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
}

std::chrono::nanoseconds PortableHost::monotonic_time() {
  return std::chrono::steady_clock::now().time_since_epoch();
}

// Long enough to leave the processor to others, short enough that the pause ends within
// a few milliseconds of its second.
void PortableHost::wait_briefly() { std::this_thread::sleep_for(std::chrono::milliseconds(10)); }

}  // namespace vkd
