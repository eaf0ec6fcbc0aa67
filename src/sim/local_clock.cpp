#include "sim/local_clock.h"

#include <ctime>

namespace vkd::sim {

Clock local_clock() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &now);
#else
  localtime_r(&now, &local);
#endif
  return {static_cast<std::uint8_t>(local.tm_sec), static_cast<std::uint8_t>(local.tm_min),
          static_cast<std::uint8_t>(local.tm_hour), static_cast<std::uint8_t>(local.tm_mday),
          static_cast<std::uint8_t>(local.tm_mon + 1), static_cast<std::uint8_t>(local.tm_year % 100)};
}

}  // namespace vkd::sim
