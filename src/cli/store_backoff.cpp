#include "cli/store_backoff.h"

#include <algorithm>

namespace vkd::cli {

bool StoreBackoff::due() { return !failing_since_ || host_.monotonic_time() >= next_try_; }

void StoreBackoff::failed(const store::StoreError& error, const std::string& consequence) {
  const std::chrono::nanoseconds now = host_.monotonic_time();
  if (!failing_since_) {
    failing_since_ = now;
    wait_ = first_wait;
    events_.event(std::string("store: ") + error.what() + "; " + consequence + "; nothing is stored or erased " +
                  "until it works again, tried again in " + std::to_string(wait_.count()) +
                  " s, then less often, up to every " + std::to_string(longest_wait.count()) + " s");
  } else {
    wait_ = std::min(wait_ * 2, longest_wait);
  }
  next_try_ = now + wait_;
}

void StoreBackoff::worked() {
  if (!failing_since_) return;
  const auto failing = std::chrono::duration_cast<std::chrono::seconds>(host_.monotonic_time() - *failing_since_);
  events_.event("store: works again, after " + std::to_string(failing.count()) + " s");
  failing_since_.reset();
}

}  // namespace vkd::cli
