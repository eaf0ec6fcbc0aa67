#include "scanner_from_input.h"

#include <algorithm>

namespace vkd::testing {

void answer_from_input(FakeLibrary& library, FuzzInput& input) {
  for (std::size_t index = 0; index < function_count; ++index) {
    library.handle(static_cast<Function>(index),
                   [&input](std::span<std::uint8_t> output, std::span<const std::int32_t>) {
                     if (!output.empty()) {
                       const auto bytes = input.chunk();
                       std::copy_n(bytes.begin(), std::min(bytes.size(), output.size()),
                                   output.begin());
                     }
                     return input.result();
                   });
  }
}

}  // namespace vkd::testing
