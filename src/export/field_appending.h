#pragma once
// The masks of the exports, written straight onto the end of the text being built, so
// that a text of tens of thousands of records is made without a temporary text per
// field. Each gives exactly what the same mask of automation/mask.h gives.
#include <cstdint>
#include <string_view>

#include "automation/date.h"
#include "automation/text.h"

namespace vkd {

// Plain signed decimal: 0, -1, 32767.
void append_decimal(Text& text, std::int64_t number);
// "00", "000", ...: at least `digits` digits, zero-filled, never cut; a sign in front.
void append_zero_filled(Text& text, std::int64_t number, int digits);
// "!" followed by `width` "@": blank-filled on the right, a longer value kept whole.
void append_left_aligned(Text& text, std::u16string_view value, int width);
// "yyyymmddhhnnss" (date 0 is 18991230000000).
void append_yyyymmddhhnnss(Text& text, Date date);

}  // namespace vkd
