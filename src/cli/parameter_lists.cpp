#include "cli/parameter_lists.h"

#include "automation/mask.h"
#include "cli/whole_number.h"

namespace vkd::cli {

namespace {

constexpr int largest_field = 99;

// "value 100 of parameter 12 is outside 0-99": `what`, the word, `whose`, the fault.
OrUsageError<int> two_digit_field(std::string_view word, const std::string& what,
                                  const std::string& whose = "") {
  if (const auto number = whole_number(word, largest_field)) return *number;
  if (all_digits(word))
    return UsageError{what + " " + std::string(word) + whose + " is outside 0-99"};
  return UsageError{what + " '" + std::string(word) + "'" + whose +
                    " is not a whole number from 0 to 99"};
}

std::optional<UsageError> count_error(std::size_t count) {
  if (count <= static_cast<std::size_t>(largest_field)) return std::nullopt;
  return UsageError{"at most 99 parameters fit in one list, " + std::to_string(count) +
                    " were given"};
}

Text two_digits(int number) { return zero_filled(number, 2); }

}  // namespace

OrUsageError<std::vector<int>> parameter_numbers(std::span<const std::string> words) {
  if (auto error = count_error(words.size())) return *error;
  std::vector<int> numbers;
  for (const std::string& word : words) {
    auto number = two_digit_field(word, "parameter number");
    if (auto* error = std::get_if<UsageError>(&number)) return *error;
    numbers.push_back(std::get<int>(number));
  }
  return numbers;
}

OrUsageError<std::vector<ParameterSetting>> parameter_settings(std::span<const std::string> words) {
  if (auto error = count_error(words.size())) return *error;
  std::vector<ParameterSetting> settings;
  for (const std::string& word : words) {
    const auto equals = word.find('=');
    if (equals == std::string::npos) {
      return UsageError{"'" + word + "' is not a setting of the form NUMBER=VALUE"};
    }
    const std::string_view number_word = std::string_view(word).substr(0, equals);
    auto number = two_digit_field(number_word, "parameter number");
    if (auto* error = std::get_if<UsageError>(&number)) return *error;
    auto value = two_digit_field(std::string_view(word).substr(equals + 1), "value",
                                 " of parameter " + std::string(number_word));
    if (auto* error = std::get_if<UsageError>(&value)) return *error;
    settings.push_back({std::get<int>(number), std::get<int>(value)});
  }
  return settings;
}

Text show_list(std::span<const int> numbers) {
  Text list = two_digits(static_cast<int>(numbers.size()));
  for (const int number : numbers) list += two_digits(number);
  return list;
}

Text reset_list(std::span<const ParameterSetting> settings) {
  Text list = two_digits(static_cast<int>(settings.size()));
  for (const auto& setting : settings)
    list += two_digits(setting.number) + two_digits(setting.value);
  return list;
}

}  // namespace vkd::cli
