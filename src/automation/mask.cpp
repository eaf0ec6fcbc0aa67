#include "automation/mask.h"

#include <algorithm>
#include <array>
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

// The magnitude as unsigned, so that the most negative number has one too.
std::uint64_t magnitude_of(std::int64_t number) {
  const auto bits = static_cast<std::uint64_t>(number);
  return number < 0 ? ~bits + 1 : bits;
}

// Writes the digits of `magnitude` so that they end just before `end`, and gives where
// they begin.
char16_t* write_digits_before(char16_t* end, std::uint64_t magnitude) {
  do {
    *--end = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  return end;
}

}  // namespace

std::size_t zero_filled_length(std::int64_t number, int digits) {
  std::uint64_t magnitude = magnitude_of(number);
  int count = 1;
  for (; magnitude >= 10; magnitude /= 10) ++count;
  return (number < 0 ? 1 : 0) + static_cast<std::size_t>(std::max(count, digits));
}

char16_t* write_zero_filled(char16_t* at, std::int64_t number, int digits) {
  std::array<char16_t, 20> buffer{};  // 2^64 has 20 digits
  const char16_t* const end = buffer.data() + buffer.size();
  const char16_t* first = write_digits_before(buffer.data() + buffer.size(), magnitude_of(number));
  if (number < 0) *at++ = u'-';
  if (end - first < digits) at = std::fill_n(at, digits - (end - first), u'0');
  while (first != end) *at++ = *first++;  // a few digits: no call to copy them
  return at;
}

std::size_t decimal_length(std::int64_t number) { return zero_filled_length(number, 1); }

char16_t* write_decimal(char16_t* at, std::int64_t number) { return write_zero_filled(at, number, 1); }

std::size_t left_aligned_length(std::u16string_view value, int width) {
  return std::max(value.size(), static_cast<std::size_t>(std::max(width, 0)));
}

char16_t* write_left_aligned(char16_t* at, std::u16string_view value, int width) {
  at = std::copy(value.begin(), value.end(), at);
  if (static_cast<int>(value.size()) < width) {
    at = std::fill_n(at, static_cast<std::size_t>(width) - value.size(), u' ');
  }
  return at;
}

char16_t* write_yyyymmddhhnnss(char16_t* at, Date date) {
  const DateParts parts = date_parts(date);
  // Every field is in range here (the year 100-9999), so each is two digits, the year
  // four.
  for (const int pair : {parts.year / 100, parts.year % 100, parts.month, parts.day, parts.hour,
                         parts.minute, parts.second}) {
    *at++ = static_cast<char16_t>(u'0' + pair / 10);
    *at++ = static_cast<char16_t>(u'0' + pair % 10);
  }
  return at;
}

void append_decimal(Text& text, std::int64_t number) { append_zero_filled(text, number, 1); }

void append_zero_filled(Text& text, std::int64_t number, int digits) {
  const std::size_t start = text.size();
  text.resize(start + zero_filled_length(number, digits));
  write_zero_filled(text.data() + start, number, digits);
}

void append_left_aligned(Text& text, std::u16string_view value, int width) {
  const std::size_t start = text.size();
  text.resize(start + left_aligned_length(value, width));
  write_left_aligned(text.data() + start, value, width);
}

void append_yyyymmddhhnnss(Text& text, Date date) {
  std::array<char16_t, yyyymmddhhnnss_length> digits{};
  write_yyyymmddhhnnss(digits.data(), date);
  text.append(digits.data(), digits.size());
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

Text left_aligned(const Text& text, int width) {
  Text result;
  append_left_aligned(result, text, width);
  return result;
}

Text hhmmss(std::int32_t seconds_of_day) {
  const std::int32_t seconds = ((seconds_of_day % 86400) + 86400) % 86400;
  Text text;
  append_zero_filled(text, seconds / 3600, 2);
  append_zero_filled(text, seconds / 60 % 60, 2);
  append_zero_filled(text, seconds % 60, 2);
  return text;
}

Text yyyymmddhhnnss(Date date) {
  Text text;
  append_yyyymmddhhnnss(text, date);
  return text;
}

Text hex_byte(std::uint8_t byte) { return upper_hex(byte, 2); }

// A negative number shows its 32-bit pattern, as the platform's Hex does.
Text hex_0x(std::int32_t number) { return u"0x" + upper_hex(static_cast<std::uint32_t>(number), 1); }

}  // namespace vkd
