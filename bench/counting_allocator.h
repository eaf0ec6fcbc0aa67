#pragma once
// Every allocation this program makes through operator new is counted: the benchmarks
// compare the count before and after a piece of work to tell how many it made.
#include <cstddef>

namespace vkd::bench {

std::size_t allocations_so_far();

// The allocations made since it was made.
class AllocationCount {
 public:
  std::size_t made() const { return allocations_so_far() - start_; }

 private:
  std::size_t start_ = allocations_so_far();
};

}  // namespace vkd::bench
