#pragma once
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace vkd::cli {

inline constexpr std::string_view version_text = "5.01.0001";

// Every command.
std::string help_text();
// One command, for "clicker COMMAND --help".
std::string command_help(Command command);

}  // namespace vkd::cli
