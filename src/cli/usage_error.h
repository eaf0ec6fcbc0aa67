#pragma once
// A command line that cannot be run: the message says what is wrong with it.
#include <string>
#include <variant>

namespace vkd::cli {

struct UsageError {
  std::string message;
  // The command whose help to point at ("download", "params show"); empty when the
  // command itself is unknown.
  std::string command = {};
  friend bool operator==(const UsageError&, const UsageError&) = default;
};

template <typename T>
using OrUsageError = std::variant<T, UsageError>;

}  // namespace vkd::cli
