#include <thread>

#include "cli/stop_request.h"

namespace vkd::cli {

bool sleep_unless_stopped(std::chrono::milliseconds duration) {
  constexpr std::chrono::milliseconds slice{100};
  const auto until = std::chrono::steady_clock::now() + duration;
  while (!stop_requested()) {
    const auto left = until - std::chrono::steady_clock::now();
    if (left <= std::chrono::milliseconds::zero()) return true;
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, slice));
  }
  return false;
}

}  // namespace vkd::cli
