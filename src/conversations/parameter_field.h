#pragma once
// The host's parameter lists are two-character fields with no separators, the first one
// the count (see show_parameters.h and reset_parameters.h).
#include "automation/number_reading.h"
#include "automation/text.h"

namespace vkd::parameter_field {

inline constexpr long length = 2;

inline Text at(const Text& list, long position) { return mid(list, position, length); }

// The count is compared as it reads, unrounded: "1." lists one entry, ".5" none.
inline double count(const Text& list) { return strict_number(left(list, length)); }

}  // namespace vkd::parameter_field
