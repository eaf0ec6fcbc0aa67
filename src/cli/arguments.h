#pragma once
// The command line: a command, its operands, and options before or after it.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "cli/parameter_lists.h"
#include "cli/usage_error.h"

namespace vkd::cli {

enum class Command { help, version, hello, download, empty, params_show, params_reset };
enum class Format { v03, v01, csv, json };

struct Invocation {
  Command command = Command::help;
  Format format = Format::v03;
  std::optional<std::string> delimiter;  // v03: any text; csv: one character
  std::optional<std::int16_t> port;
  std::optional<std::string> set_clock;  // "now" or a checked twelve-digit text
  bool log = false;
  std::vector<int> parameters;             // params show
  std::vector<ParameterSetting> settings;  // params reset
};

OrUsageError<Invocation> parse_arguments(const std::vector<std::string>& arguments);

}  // namespace vkd::cli
