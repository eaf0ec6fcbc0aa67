#pragma once
// The most memory this process has held at once so far, in KiB: what a test compares
// before and after a step that must not take memory of the size of what it refuses.
#include <sys/resource.h>

namespace vkd::testing {

inline long peak_memory_kib() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace vkd::testing
