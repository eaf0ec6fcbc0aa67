#pragma once
// The clock flag as both exports write it under the mask "@". A flag that no clock read
// ever wrote still holds its initial NUL character; it is shown as nothing rather than as
// a control character in the middle of a text meant for storage.
#include "automation/text.h"

namespace vkd {

inline std::u16string_view clock_flag_field(const Text& clock_flag) {
  if (clock_flag.find_first_not_of(u'\0') == Text::npos) return {};
  return clock_flag;
}

}  // namespace vkd
