#include "cli/parameter_report.h"

#include <string_view>

namespace vkd::cli {

namespace {

using TextView = std::u16string_view;

constexpr TextView protocol_placeholder = u":0x??";
constexpr std::size_t version_length = 10;

bool digits_only(TextView text) {
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

int number_of(TextView digits) {
  int number = 0;
  for (const char16_t digit : digits) number = number * 10 + (digit - u'0');
  return number;
}

// Each entry is the number asked for in two digits and its value in at least two (a value
// of 100 or more takes three), with nothing between entries: a value's width shows only
// in whether the rest still reads as the entries asked for.
bool read_values(TextView digits, std::span<const int> numbers, std::vector<int>& values) {
  if (numbers.empty()) return digits.empty();
  if (digits.size() < 4 || number_of(digits.substr(0, 2)) != numbers[0]) return false;
  digits.remove_prefix(2);
  for (const std::size_t width : {2u, 3u}) {
    if (digits.size() < width || (width == 3 && digits[0] == u'0')) break;
    values.push_back(number_of(digits.substr(0, width)));
    if (read_values(digits.substr(width), numbers.subspan(1), values)) return true;
    values.pop_back();
  }
  return false;
}

// Takes the text up to the next ":" (or the end) off the front of `rest`.
TextView next_item(TextView& rest) {
  const auto colon = rest.find(u':');
  const TextView item = rest.substr(0, colon);
  rest.remove_prefix(colon == TextView::npos ? rest.size() : colon + 1);
  return item;
}

std::string line(std::string_view name, TextView value) {
  return std::string(name) + "=" + to_utf8(Text(value)) + "\n";
}

}  // namespace

bool scanner_answered(const Text& showparams) {
  const auto colon = showparams.find(u':');
  return colon == Text::npos || !TextView(showparams).substr(colon + 1).starts_with(protocol_placeholder);
}

std::optional<std::string> named_parameter_lines(const Text& showparams,
                                                 std::span<const int> numbers) {
  TextView rest = showparams;
  const TextView parameters = next_item(rest);
  std::vector<int> values;
  if (parameters.size() < 2 || !digits_only(parameters) ||
      !read_values(parameters.substr(2), numbers, values)) {
    return std::nullopt;
  }
  std::string lines;
  for (std::size_t i = 0; i < numbers.size(); ++i)
    lines += std::to_string(numbers[i]) + "=" + std::to_string(values[i]) + "\n";

  if (rest.starts_with(u':')) rest.remove_prefix(1);  // the protocol's placeholder has a ":" of its own
  const TextView protocol = next_item(rest);
  const TextView status = next_item(rest);
  if (rest.size() < version_length + 1 || rest[version_length] != u':') return std::nullopt;
  TextView version = rest.substr(0, version_length);
  version = version.substr(0, version.find_last_not_of(u'\0') + 1);
  rest.remove_prefix(version_length + 1);
  const TextView ascii_mode = next_item(rest);
  const TextView rtc_mode = next_item(rest);
  if (!rest.empty()) return std::nullopt;
  return lines + line("protocol", protocol) + line("status", status) + line("version", version) +
         line("ascii_mode", ascii_mode) + line("rtc_mode", rtc_mode);
}

}  // namespace vkd::cli
