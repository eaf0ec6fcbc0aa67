#pragma once
// The masks written into a buffer with room for them, for a text whose length is counted
// before it is written; each gives the position after what it wrote. An export calls
// them for every field of tens of thousands of records, so they live here, inline where
// its loop sees them, and count digits by comparison and write them two at a time rather
// than dividing by ten once per digit.
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "automation/date.h"

namespace vkd {

namespace mask_digits {

// "00", "01", ... "99": the two characters of each number below 100.
using DigitPair = std::array<char16_t, 2>;
inline constexpr std::array<DigitPair, 100> pairs = [] {
  std::array<DigitPair, 100> table{};
  for (int number = 0; number < 100; ++number) {
    table[number] = {static_cast<char16_t>(u'0' + number / 10), static_cast<char16_t>(u'0' + number % 10)};
  }
  return table;
}();

// A number below 100 as exactly two digits.
inline char16_t* write_pair(char16_t* at, std::uint32_t number) {
  return std::copy_n(pairs[number].begin(), 2, at);
}

// The magnitude as unsigned, so that the most negative number has one too.
inline std::uint64_t magnitude_of(std::int64_t number) {
  const auto bits = static_cast<std::uint64_t>(number);
  return number < 0 ? ~bits + 1 : bits;
}

// 10, 100, ... 10^19. A magnitude is at most 2^63, below 10^19, so a count by comparison
// with them ends within the table.
inline constexpr std::array<std::uint64_t, 19> powers_of_ten = [] {
  std::array<std::uint64_t, 19> table{};
  std::uint64_t power = 1;
  for (std::uint64_t& entry : table) entry = power *= 10;
  return table;
}();

inline int digit_count(std::uint64_t magnitude) {
  int count = 1;
  while (magnitude >= powers_of_ten[count - 1]) ++count;
  return count;
}

// The `count` digits of `magnitude`, which has no more than that, from `at` on.
inline char16_t* write_digits(char16_t* at, std::uint64_t magnitude, int count) {
  char16_t* const end = at + count;
  char16_t* digit = end;
  for (; magnitude >= 100; magnitude /= 100) write_pair(digit -= 2, static_cast<std::uint32_t>(magnitude % 100));
  if (magnitude >= 10) {
    write_pair(digit -= 2, static_cast<std::uint32_t>(magnitude));
  } else {
    *--digit = static_cast<char16_t>(u'0' + magnitude);
  }
  std::fill(at, digit, u'0');
  return end;
}

}  // namespace mask_digits

inline std::size_t zero_filled_length(std::int64_t number, int digits) {
  const int count = mask_digits::digit_count(mask_digits::magnitude_of(number));
  return (number < 0 ? 1 : 0) + static_cast<std::size_t>(std::max(count, digits));
}

inline char16_t* write_zero_filled(char16_t* at, std::int64_t number, int digits) {
  const std::uint64_t magnitude = mask_digits::magnitude_of(number);
  if (number < 0) *at++ = u'-';
  return mask_digits::write_digits(at, magnitude, std::max(mask_digits::digit_count(magnitude), digits));
}

inline std::size_t decimal_length(std::int64_t number) { return zero_filled_length(number, 1); }

inline char16_t* write_decimal(char16_t* at, std::int64_t number) { return write_zero_filled(at, number, 1); }

// A delimiter or a short field is copied one character at a time, for which a call to
// copy it would cost more than the copy; a longer text, a barcode, with that one call.
inline char16_t* write_text(char16_t* at, std::u16string_view text) {
  const std::size_t size = text.size();
  if (size > 4) return std::copy(text.begin(), text.end(), at);
  for (std::size_t k = 0; k < size; ++k) at[k] = text[k];
  return at + size;
}

// The larger of the text's size and the width.
inline std::size_t left_aligned_length(std::u16string_view value, int width) {
  return std::max(value.size(), static_cast<std::size_t>(std::max(width, 0)));
}

inline char16_t* write_left_aligned(char16_t* at, std::u16string_view value, int width) {
  char16_t* const end = at + left_aligned_length(value, width);
  std::fill(write_text(at, value), end, u' ');
  return end;
}

// "yyyymmddhhnnss": always this many characters, since date_parts gives a year of four
// digits or an error.
inline constexpr std::size_t yyyymmddhhnnss_length = 14;

inline char16_t* write_yyyymmddhhnnss(char16_t* at, Date date) {
  const DateParts parts = date_parts(date);
  const auto year = static_cast<std::uint32_t>(parts.year);
  at = mask_digits::write_pair(at, year / 100);
  at = mask_digits::write_pair(at, year % 100);
  at = mask_digits::write_pair(at, static_cast<std::uint32_t>(parts.month));
  at = mask_digits::write_pair(at, static_cast<std::uint32_t>(parts.day));
  at = mask_digits::write_pair(at, static_cast<std::uint32_t>(parts.hour));
  at = mask_digits::write_pair(at, static_cast<std::uint32_t>(parts.minute));
  at = mask_digits::write_pair(at, static_cast<std::uint32_t>(parts.second));
  return at;
}

}  // namespace vkd
