#include "cli/delimiter_rule.h"

#include <algorithm>

#include "automation/text.h"

namespace vkd::cli {

namespace {

bool is_low_surrogate(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// A surrogate pair counts once.
std::size_t code_points(std::u16string_view text) {
  return text.size() - static_cast<std::size_t>(std::ranges::count_if(text, is_low_surrogate));
}

}  // namespace

std::optional<std::string> delimiter_refusal(Format format, std::string_view delimiter) {
  if (format != Format::v03 && format != Format::csv) return "applies to --format v03 and csv only";
  // The reading replaces each malformed sequence, so only valid UTF-8 reads back the same.
  const Text text = from_utf8(delimiter);
  if (to_utf8(text) != delimiter) return "is not valid UTF-8";
  if (format == Format::csv) {
    if (code_points(text) != 1 || delimiter == "\"" || delimiter == "\r" || delimiter == "\n")
      return "for csv is one character other than a quote or a line break";
  } else if (delimiter.empty()) {
    return "needs at least one character";
  }
  if (delimiter.find_first_of("0123456789") != std::string_view::npos)
    return "may not contain a digit: the fields it separates are numbers";
  return std::nullopt;
}

}  // namespace vkd::cli
