#pragma once
// The parameter lists the Clicker object takes, built from command-line words: every
// field two decimal digits, so numbers, values and the count must lie in 0-99.
#include <span>
#include <string>
#include <vector>

#include "automation/text.h"
#include "cli/usage_error.h"

namespace vkd::cli {

struct ParameterSetting {
  int number = 0;
  int value = 0;
  friend bool operator==(const ParameterSetting&, const ParameterSetting&) = default;
};

// "1" "5" "12" -> 1, 5, 12.
OrUsageError<std::vector<int>> parameter_numbers(std::span<const std::string> words);
// "1=5" "12=3" -> {1, 5}, {12, 3}.
OrUsageError<std::vector<ParameterSetting>> parameter_settings(std::span<const std::string> words);

// 1, 5, 12 -> "03010512": the count, then each number.
Text show_list(std::span<const int> numbers);
// {1, 5}, {12, 3} -> "0201051203": the count, then each number and its value.
Text reset_list(std::span<const ParameterSetting> settings);

}  // namespace vkd::cli
