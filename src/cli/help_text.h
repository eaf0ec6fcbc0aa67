#pragma once
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace vkd::cli {

inline constexpr std::string_view version_text = "5.01.0001";

// Both formatted from the command line's declarations (command_line.h).
// Every command.
std::string help_text();
// One command, or a group of them (params), for "clicker COMMAND --help".
std::string command_help(Command command);

}  // namespace vkd::cli
