#include "export/field_appending.h"

#include <array>
#include <cstddef>

namespace vkd {

void append_decimal(Text& text, std::int64_t number) { append_zero_filled(text, number, 1); }

void append_zero_filled(Text& text, std::int64_t number, int digits) {
  // The magnitude as unsigned, so that the most negative number has one too.
  auto magnitude = static_cast<std::uint64_t>(number);
  if (number < 0) magnitude = ~magnitude + 1;

  std::array<char16_t, 20> reversed{};  // 2^64 has 20 digits
  std::size_t count = 0;
  do {
    reversed[count++] = static_cast<char16_t>(u'0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);

  if (number < 0) text += u'-';
  if (static_cast<int>(count) < digits) text.append(static_cast<std::size_t>(digits) - count, u'0');
  while (count > 0) text += reversed[--count];
}

void append_left_aligned(Text& text, std::u16string_view value, int width) {
  text += value;
  if (static_cast<int>(value.size()) < width) {
    text.append(static_cast<std::size_t>(width) - value.size(), u' ');
  }
}

void append_yyyymmddhhnnss(Text& text, Date date) {
  const DateParts parts = date_parts(date);
  append_zero_filled(text, parts.year, 4);
  append_zero_filled(text, parts.month, 2);
  append_zero_filled(text, parts.day, 2);
  append_zero_filled(text, parts.hour, 2);
  append_zero_filled(text, parts.minute, 2);
  append_zero_filled(text, parts.second, 2);
}

}  // namespace vkd
