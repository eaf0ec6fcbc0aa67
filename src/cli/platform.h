#pragma once
// What the command needs from the operating system and gets differently on each.
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

namespace vkd::cli {

// The command's arguments (without the program name) as UTF-8, whatever the console's
// code page.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Makes standard output carry bytes unchanged (no newline translation) and lets a
// console show UTF-8.
void prepare_standard_streams();

bool standard_error_is_terminal();

// The user's configuration folder: $XDG_CONFIG_HOME or ~/.config, or %APPDATA%. None
// when the environment names none.
std::optional<std::filesystem::path> user_configuration_folder();

// Puts `from` in the place of `to` in one step, replacing an existing `to`.
void replace_file(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::error_code& error);

}  // namespace vkd::cli
