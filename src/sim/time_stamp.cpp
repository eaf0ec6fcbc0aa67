#include "sim/time_stamp.h"

#include <algorithm>

namespace vkd::sim {

namespace {

struct Field {
  int StampFields::*member;
  unsigned shift;
  unsigned bits;
};

constexpr std::array<Field, 6> layout = {{
    {&StampFields::second, 0, 6},
    {&StampFields::minute, 6, 6},
    {&StampFields::hour, 12, 5},
    {&StampFields::day, 17, 5},
    {&StampFields::month, 22, 4},
    {&StampFields::year, 26, 6},
}};

std::uint32_t mask(unsigned bits) { return (std::uint32_t{1} << bits) - 1; }

// Writes two characters at `at` and gives the position after them.
std::uint8_t* two_digits(std::uint8_t* at, int value) {
  at[0] = static_cast<std::uint8_t>('0' + value / 10 % 10);
  at[1] = static_cast<std::uint8_t>('0' + value % 10);
  return at + 2;
}

std::uint8_t* known_or(std::uint8_t* at, int value, int low, int high, const char (&unknown)[3]) {
  if (value >= low && value <= high) return two_digits(at, value);
  return std::copy_n(unknown, 2, at);
}

}  // namespace

TimeStamp pack(const StampFields& fields) {
  std::uint32_t value = 0;
  for (const Field& field : layout) {
    value |= (static_cast<std::uint32_t>(fields.*field.member) & mask(field.bits)) << field.shift;
  }
  return {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
          static_cast<std::uint8_t>(value >> 16), static_cast<std::uint8_t>(value >> 24)};
}

StampFields unpack(const TimeStamp& stamp) {
  const std::uint32_t value = stamp[0] | std::uint32_t{stamp[1]} << 8 |
                              std::uint32_t{stamp[2]} << 16 | std::uint32_t{stamp[3]} << 24;
  StampFields fields;
  for (const Field& field : layout) {
    fields.*field.member = static_cast<int>(value >> field.shift & mask(field.bits));
  }
  return fields;
}

TimeStampText time_stamp_text(const TimeStamp& stamp) {
  const StampFields f = unpack(stamp);
  TimeStampText text{};
  std::uint8_t* at = text.data();
  if (f.hour < 24) {
    at = two_digits(at, f.hour % 12 == 0 ? 12 : f.hour % 12);
  } else {
    at = std::copy_n("??", 2, at);
  }
  *at++ = ':';
  at = known_or(at, f.minute, 0, 59, "63");
  *at++ = ':';
  at = known_or(at, f.second, 0, 59, "63");
  *at++ = ' ';
  at = std::copy_n(f.hour >= 24 ? "??" : f.hour < 12 ? "AM" : "PM", 2, at);
  at = std::copy_n("  ", 2, at);
  at = known_or(at, f.month, 1, 12, "??");
  *at++ = '/';
  at = known_or(at, f.day, 1, 31, "??");
  *at++ = '/';
  two_digits(at, f.year);
  return text;
}

}  // namespace vkd::sim
