#include "cli/option_checks.h"

#include <algorithm>
#include <string>
#include <utility>

#include "cli/clock_text.h"
#include "cli/usage_error.h"
#include "cli/whole_number.h"

namespace vkd::cli {

CLI::Validator whole_number_check(int largest, std::string what) {
  return CLI::Validator(
      [largest, what = std::move(what)](std::string& value) {
        const auto number = whole_number(value, largest);
        if (!number) return "takes " + what + ", not " + quoted_word(value);
        value = std::to_string(*number);
        return std::string();
      },
      "");
}

CLI::Validator choice_check(std::vector<std::string> names, std::string scope) {
  std::string refusal = (scope.empty() ? "" : scope + " ") + "takes " + listed(names) + ", not ";
  return CLI::Validator(
      [names = std::move(names), refusal = std::move(refusal)](const std::string& value) {
        return std::ranges::find(names, value) == names.end() ? refusal + quoted_word(value)
                                                              : std::string();
      },
      "");
}

CLI::Validator clock_check() {
  return CLI::Validator(
      [](std::string& value) {
        if (value == "now" || is_clock_text(value)) return std::string();
        if (auto clock = clock_text_of_iso_8601(value)) {
          value = std::move(*clock);
          return std::string();
        }
        return "takes 'now', a local date and time YYYY-MM-DDTHH:MM:SS (years 2000-2099) or "
               "SSMMHHDDMMYY (seconds first), not " +
               quoted_word(value);
      },
      "");
}

CLI::Validator time_check() {
  return CLI::Validator(
      [](std::string& value) {
        const std::string full = value.size() == 10 ? value + "T00:00:00" : value;
        if (!is_iso_8601_date_time(full)) {
          return "takes a local date YYYY-MM-DD or date and time YYYY-MM-DDTHH:MM:SS, not " + quoted_word(value);
        }
        value = full;
        return std::string();
      },
      "");
}

CLI::Validator identifier_check() {
  return CLI::Validator(
      [](std::string& value) {
        const bool hex = value.size() == 16 && std::ranges::all_of(value, [](char c) {
                           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
                         });
        if (!hex) return "takes a scanner's identifier, 16 hex digits, not " + quoted_word(value);
        std::ranges::transform(value, value.begin(), [](char c) { return c >= 'a' ? static_cast<char>(c - 32) : c; });
        return std::string();
      },
      "");
}

CLI::Validator non_empty_check(std::string refusal) {
  return CLI::Validator(
      [refusal = std::move(refusal)](const std::string& value) {
        return value.empty() ? refusal : std::string();
      },
      "");
}

}  // namespace vkd::cli
