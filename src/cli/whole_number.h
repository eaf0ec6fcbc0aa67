#pragma once
#include <optional>
#include <string_view>

namespace vkd::cli {

// At least one character, and only the decimal digits 0-9.
bool all_digits(std::string_view word);

// A word of decimal digits only (no sign, blank or point) whose value is at most
// `largest`.
std::optional<int> whole_number(std::string_view word, int largest);

}  // namespace vkd::cli
