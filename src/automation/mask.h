#pragma once
// The platform's mask formatting, for the masks the component uses. The same masks
// written into a buffer of counted length are in mask_writers.h.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "automation/date.h"
#include "automation/mask_writers.h"
#include "automation/text.h"

namespace vkd {

// Plain signed decimal, no filling: 0, -1, 32767.
Text decimal(std::int64_t number);

// Digit masks "00", "000", "0000", ...: at least `digits` digits, zero-filled on the
// left, never cut; a negative number has its sign in front (-5 under "0000" is -0005), as
// the platform's Format writes it: a host that cuts the fixed-width text by position
// relies on the widths, and one that reads record 1000 on the fields growing.
Text zero_filled(std::int64_t number, int digits);

// "HHMMSS" of a time of day given in seconds since midnight (24-hour clock).
Text hhmmss(std::int32_t seconds_of_day);

// Two upper-case hex digits: 0A, FF.
Text hex_byte(std::uint8_t byte);

// "0x" and upper-case hex without leading zeros: 0x0, 0xFF. The number is not negative.
Text hex_0x(std::int32_t number);

// The same masks written straight onto the end of a text being built, as the connection
// log grows entry by entry.
void append_decimal(Text& text, std::int64_t number);
void append_zero_filled(Text& text, std::int64_t number, int digits);

}  // namespace vkd
