#include "automation/mask.h"

#include <cstddef>

namespace vkd {

namespace {

Text upper_hex(std::uint64_t number, int min_digits) {
  static constexpr char16_t hex_digits[] = u"0123456789ABCDEF";
  Text digits;
  do {
    digits.insert(digits.begin(), hex_digits[number % 16]);
    number /= 16;
  } while (number != 0);
  if (static_cast<int>(digits.size()) < min_digits) digits.insert(0, min_digits - digits.size(), u'0');
  return digits;
}

}  // namespace

void append_decimal(Text& text, std::int64_t number) { append_zero_filled(text, number, 1); }

void append_zero_filled(Text& text, std::int64_t number, int digits) {
  const std::size_t start = text.size();
  text.resize(start + zero_filled_length(number, digits));
  write_zero_filled(text.data() + start, number, digits);
}

Text decimal(std::int64_t number) {
  Text text;
  append_decimal(text, number);
  return text;
}

Text zero_filled(std::int64_t number, int digits) {
  Text text;
  append_zero_filled(text, number, digits);
  return text;
}

Text hhmmss(std::int32_t seconds_of_day) {
  const std::int32_t seconds = ((seconds_of_day % 86400) + 86400) % 86400;
  Text text;
  append_zero_filled(text, seconds / 3600, 2);
  append_zero_filled(text, seconds / 60 % 60, 2);
  append_zero_filled(text, seconds % 60, 2);
  return text;
}

Text hex_byte(std::uint8_t byte) { return upper_hex(byte, 2); }

// A negative number shows its 32-bit pattern, as the platform's Hex does.
Text hex_0x(std::int32_t number) { return u"0x" + upper_hex(static_cast<std::uint32_t>(number), 1); }

}  // namespace vkd
