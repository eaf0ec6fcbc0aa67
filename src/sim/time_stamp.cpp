#include "sim/time_stamp.h"

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

std::string two_digits(int value) {
  return {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
}

std::string known_or(int value, int low, int high, const char* unknown) {
  return value >= low && value <= high ? two_digits(value) : unknown;
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

std::string time_stamp_text(const TimeStamp& stamp) {
  const StampFields f = unpack(stamp);
  std::string hour = "??";
  std::string half_of_day = "??";
  if (f.hour < 24) {
    hour = two_digits(f.hour % 12 == 0 ? 12 : f.hour % 12);
    half_of_day = f.hour < 12 ? "AM" : "PM";
  }
  return hour + ":" + known_or(f.minute, 0, 59, "63") + ":" + known_or(f.second, 0, 59, "63") +
         " " + half_of_day + "  " + known_or(f.month, 1, 12, "??") + "/" +
         known_or(f.day, 1, 31, "??") + "/" + two_digits(f.year);
}

}  // namespace vkd::sim
