#include "fuzz_input.h"

#include <algorithm>
#include <bit>
#include <type_traits>

namespace vkd::testing {

std::span<const std::uint8_t> FuzzInput::take(std::size_t count) {
  const std::span<const std::uint8_t> taken = rest_.first(std::min(count, rest_.size()));
  rest_ = rest_.subspan(taken.size());
  return taken;
}

template <typename Integer>
Integer FuzzInput::little_endian() {
  using Unsigned = std::make_unsigned_t<Integer>;
  Unsigned value = 0;
  const auto bytes = take(sizeof(Integer));
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    value = static_cast<Unsigned>(value | static_cast<Unsigned>(Unsigned{bytes[i]} << (8 * i)));
  }
  return static_cast<Integer>(value);
}

double FuzzInput::raw_double() { return std::bit_cast<double>(little_endian<std::int64_t>()); }

std::uint8_t FuzzInput::byte() {
  const auto taken = take(1);
  return taken.empty() ? 0 : taken.front();
}

std::int32_t FuzzInput::result() {
  const auto small = static_cast<std::int8_t>(byte());
  return small == INT8_MIN ? little_endian<std::int32_t>() : small;
}

std::span<const std::uint8_t> FuzzInput::chunk() { return take(byte()); }

Text FuzzInput::text() { return text_from_bytes(chunk()); }

Variant FuzzInput::variant() {
  switch (byte() % 9) {
    case 0:
      return Variant{};
    case 1:
      return Variant::null();
    case 2:
      return Variant(little_endian<std::int16_t>());
    case 3:
      return Variant(little_endian<std::int32_t>());
    case 4:
      return Variant(raw_double());
    case 5:
      return Variant(Date{raw_double()});
    case 6:
      return Variant((byte() & 1) != 0);
    case 7:
      return Variant(text());
    default:
      return Variant(ObjectValue{});
  }
}

}  // namespace vkd::testing
