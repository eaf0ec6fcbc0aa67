#pragma once
// The library calls of one piece of work, taken down once and made again on their own:
// the same functions with the same arguments, in the same order, into buffers of the
// sizes the component passes. Made on the same double as the work itself, they measure
// the double's share of that work.
#include <array>
#include <cstdint>
#include <vector>

#include "csp2a/library.h"
#include "fake_library.h"

namespace vkd::bench {

class LibraryCalls {
 public:
  explicit LibraryCalls(std::vector<testing::Call> calls) : calls_(std::move(calls)) {}

  // Makes every call again; gives how many of them answered as they did when taken down.
  std::size_t replay(Library& library);
  std::size_t size() const { return calls_.size(); }

 private:
  std::int32_t make(testing::Call& call, Library& library);

  std::vector<testing::Call> calls_;
  // One buffer per kind, kept across calls as the component keeps its own.
  std::array<std::uint8_t, csp2a::packet_size> packet_{};
  std::array<std::uint8_t, csp2a::time_stamp_text_size> stamp_text_{};
  std::array<std::uint8_t, csp2a::packet_size> other_{};
};

}  // namespace vkd::bench
