#pragma once
// The simulated scanner's 4-byte time stamp and its text.
//
// Packing: the four bytes are one 32-bit number, least significant byte first, holding
// from the lowest bit up: second (6 bits), minute (6), hour (5), day (5), month (4),
// year within 2000-2063 (6). Every bit pattern is a stamp; fields outside their range
// (second or minute 60-63, hour 24-31, day 0, month 0 or 13-15) are unknown fields,
// which is how the scanner marks a clock it did not know.
//
// Text: "hh:mm:ss AM  MM/DD/YY", the time of day on the 12-hour clock in its first 11
// characters, then two blanks and the date. An unknown second or minute reads "63", any
// other unknown field "??" (an unknown hour also makes the AM/PM mark "??").
#include <array>
#include <cstddef>
#include <cstdint>

namespace vkd::sim {

using TimeStamp = std::array<std::uint8_t, 4>;

struct StampFields {
  int second = 0;
  int minute = 0;
  int hour = 0;
  int day = 1;
  int month = 1;
  int year = 0;  // within the century, 0-63

  bool operator==(const StampFields&) const = default;
};

// Each field is cut to its bits.
TimeStamp pack(const StampFields& fields);
StampFields unpack(const TimeStamp& stamp);

// Always 21 characters, written in place as the bytes the library hands out, at `out`.
inline constexpr std::size_t time_stamp_text_length = 21;
void write_time_stamp_text(const TimeStamp& stamp, std::uint8_t* out);

}  // namespace vkd::sim
