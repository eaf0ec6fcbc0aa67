#include "cli/whole_number.h"

#include <algorithm>
#include <charconv>

namespace vkd::cli {

bool all_digits(std::string_view word) {
  return !word.empty() && std::ranges::all_of(word, [](char c) { return c >= '0' && c <= '9'; });
}

std::optional<int> whole_number(std::string_view word, int largest) {
  if (!all_digits(word)) return std::nullopt;
  int number = 0;
  const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), number);
  if (error != std::errc() || end != word.data() + word.size() || number > largest)
    return std::nullopt;
  return number;
}

}  // namespace vkd::cli
