#pragma once
// A caller's buffer as the library's functions receive it: a pointer and a length that
// may be anything; a null pointer or a length below 1 is no buffer at all.
#include <cstdint>
#include <span>

namespace vkd::sim {

inline std::span<std::uint8_t> caller_buffer(std::uint8_t* bytes, std::int32_t length) {
  if (bytes == nullptr || length <= 0) return {};
  return {bytes, static_cast<std::size_t>(length)};
}

}  // namespace vkd::sim
