#pragma once
#include <string>
#include <string_view>

#include "cli/arguments.h"

namespace vkd::cli {

// The product version, from the one source the build takes it from (cmake/identity.cmake).
inline constexpr std::string_view version_text = VKD_VERSION_TEXT;

// Both formatted from the command line's declarations (command_line.h).
// Every command.
std::string help_text();
// One command, or a group of them (params), for "clicker COMMAND --help".
std::string command_help(Command command);

}  // namespace vkd::cli
