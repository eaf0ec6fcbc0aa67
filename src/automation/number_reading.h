#pragma once
// Readings of short text fields as numbers, and the platform's integer conversions.
#include <cstdint>

#include "automation/text.h"

namespace vkd {

// The leading-number rule of the platform's Val: blanks skipped, then an optional sign,
// digits, one decimal point and an optional exponent; it stops at the first other
// character. Nothing numeric reads as 0. " 7" and "7a" give 7, "ab" gives 0: a host's
// parameter list whose entry reads "7a" writes 7, as it always did.
double lenient_number(const Text& field);

// The whole field must be a number (sign, digits, one decimal point, optional
// exponent; blanks around it allowed), else the type-mismatch error (13); "" is 13, as a
// host's On Error handler expects of a count it mistyped.
double strict_number(const Text& field);

// Round half to even (2.5 -> 2, 3.5 -> 4, -2.5 -> -2), the platform's rounding: a host
// that gives lastport 2.5 talks to port 2.
double round_half_even(double number);

// Rounded half to even, then range-checked: overflow (6) when it does not fit.
std::int16_t to_int16(double number);
std::int32_t to_int32(double number);

}  // namespace vkd
