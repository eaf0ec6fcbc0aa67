#include "automation/mask.h"

#include <string>

namespace vkd {

namespace {

Text ascii_text(const std::string& ascii) { return Text(ascii.begin(), ascii.end()); }

std::uint64_t magnitude(std::int64_t number) {
  const auto bits = static_cast<std::uint64_t>(number);
  return number < 0 ? ~bits + 1 : bits;
}

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

Text decimal(std::int64_t number) { return ascii_text(std::to_string(number)); }

Text zero_filled(std::int64_t number, int digits) {
  Text text = ascii_text(std::to_string(magnitude(number)));
  if (static_cast<int>(text.size()) < digits) text.insert(0, digits - text.size(), u'0');
  if (number < 0) text.insert(text.begin(), u'-');
  return text;
}

Text left_aligned(const Text& text, int width) {
  if (static_cast<int>(text.size()) >= width) return text;
  return text + Text(width - text.size(), u' ');
}

Text hhmmss(std::int32_t seconds_of_day) {
  const std::int32_t seconds = ((seconds_of_day % 86400) + 86400) % 86400;
  return zero_filled(seconds / 3600, 2) + zero_filled(seconds / 60 % 60, 2) + zero_filled(seconds % 60, 2);
}

Text yyyymmddhhnnss(Date date) {
  const DateParts parts = date_parts(date);
  return zero_filled(parts.year, 4) + zero_filled(parts.month, 2) + zero_filled(parts.day, 2) +
         zero_filled(parts.hour, 2) + zero_filled(parts.minute, 2) + zero_filled(parts.second, 2);
}

Text hex_byte(std::uint8_t byte) { return upper_hex(byte, 2); }

// A negative number shows its 32-bit pattern, as the platform's Hex does.
Text hex_0x(std::int32_t number) { return u"0x" + upper_hex(static_cast<std::uint32_t>(number), 1); }

}  // namespace vkd
