#pragma once
// A command line that cannot be run: the message says what is wrong with it.
#include <string>
#include <string_view>
#include <variant>
#include <vector>

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

// A word as a message shows it: 'word'. Appended piece by piece: "'" + text + "'" trips a
// false -Wrestrict of g++ 12 at -O2.
inline std::string quoted_word(std::string_view word) {
  std::string text(1, '\'');
  text += word;
  text += '\'';
  return text;
}

// "a, b or c".
inline std::string listed(const std::vector<std::string>& words) {
  std::string text;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (i > 0) text += i + 1 == words.size() ? " or " : ", ";
    text += words[i];
  }
  return text;
}

}  // namespace vkd::cli
