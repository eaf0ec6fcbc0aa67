#include "sim/time_stamp.h"

#include <cstring>

namespace vkd::sim {

namespace {

struct Field {
  int StampFields::*member;
  unsigned shift;
  unsigned bits;

  std::uint32_t mask() const { return (std::uint32_t{1} << bits) - 1; }
  int of(std::uint32_t value) const { return static_cast<int>(value >> shift & mask()); }
};

constexpr Field second_field{&StampFields::second, 0, 6};
constexpr Field minute_field{&StampFields::minute, 6, 6};
constexpr Field hour_field{&StampFields::hour, 12, 5};
constexpr Field day_field{&StampFields::day, 17, 5};
constexpr Field month_field{&StampFields::month, 22, 4};
constexpr Field year_field{&StampFields::year, 26, 6};
constexpr std::array<Field, 6> layout = {second_field, minute_field, hour_field,
                                          day_field,    month_field,  year_field};

// Writes two characters at `at` and gives the position after them.
std::uint8_t* two_characters(std::uint8_t* at, char first, char second) {
  at[0] = static_cast<std::uint8_t>(first);
  at[1] = static_cast<std::uint8_t>(second);
  return at + 2;
}

// "00" to "99", so that a field's two digits are one look-up.
constexpr std::array<char, 200> digit_pairs = [] {
  std::array<char, 200> pairs{};
  for (int value = 0; value < 100; ++value) {
    pairs[2 * value] = static_cast<char>('0' + value / 10);
    pairs[2 * value + 1] = static_cast<char>('0' + value % 10);
  }
  return pairs;
}();

// A field's value, 0 to 99 (every field has at most 6 bits), as two digits, copied as
// one piece.
std::uint8_t* two_digits(std::uint8_t* at, int value) {
  std::memcpy(at, &digit_pairs[static_cast<std::size_t>(2 * value)], 2);
  return at + 2;
}

// The field's two digits when it lies within low-high, else the mark of an unknown field.
std::uint8_t* known_or(std::uint8_t* at, int value, int low, int high, const char (&unknown)[3]) {
  if (value >= low && value <= high) return two_digits(at, value);
  return two_characters(at, unknown[0], unknown[1]);
}

}  // namespace

TimeStamp pack(const StampFields& fields) {
  std::uint32_t value = 0;
  for (const Field& field : layout) {
    value |= (static_cast<std::uint32_t>(fields.*field.member) & field.mask()) << field.shift;
  }
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

// Field by field rather than through the layout's member pointers: a download unpacks
// every record's stamp.
StampFields unpack(const TimeStamp& stamp) {
  const std::uint32_t value = stamp[0] | std::uint32_t{stamp[1]} << 8 |
                              std::uint32_t{stamp[2]} << 16 | std::uint32_t{stamp[3]} << 24;
  return {.second = second_field.of(value),
          .minute = minute_field.of(value),
          .hour = hour_field.of(value),
          .day = day_field.of(value),
          .month = month_field.of(value),
          .year = year_field.of(value)};
}

void write_time_stamp_text(const TimeStamp& stamp, std::uint8_t* out) {
  const StampFields f = unpack(stamp);
  std::uint8_t* at = out;
  at = f.hour < 24 ? two_digits(at, f.hour % 12 == 0 ? 12 : f.hour % 12) : two_characters(at, '?', '?');
  *at++ = ':';
  at = known_or(at, f.minute, 0, 59, "63");
  *at++ = ':';
  at = known_or(at, f.second, 0, 59, "63");
  *at++ = ' ';
  at = f.hour >= 24 ? two_characters(at, '?', '?') : two_characters(at, f.hour < 12 ? 'A' : 'P', 'M');
  at = two_characters(at, ' ', ' ');
  at = known_or(at, f.month, 1, 12, "??");
  *at++ = '/';
  at = known_or(at, f.day, 1, 31, "??");
  *at++ = '/';
  two_digits(at, f.year);
}

}  // namespace vkd::sim
