#pragma once
// What the command needs from the operating system and gets differently on each.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vkd::cli {

// The command's arguments (without the program name) as UTF-8, whatever the console's
// code page.
std::vector<std::string> utf8_arguments(int argc, char** argv);

// Makes standard output carry bytes unchanged (no newline translation) and lets a
// console show UTF-8. A standard stream the command was started without stays one that
// cannot be written, rather than becoming the first file the command opens; writing to
// a pipe nobody reads any more fails (EPIPE) instead of ending the program.
void prepare_standard_streams();

bool standard_error_is_terminal();

// The user's folder for state that belongs to this machine: $XDG_STATE_HOME or
// ~/.local/state, or %LOCALAPPDATA%. None when the environment names none.
std::optional<std::filesystem::path> user_state_folder();

// The user's folder for data that belongs to this machine: $XDG_DATA_HOME or
// ~/.local/share, or %LOCALAPPDATA%. None when the environment names none.
std::optional<std::filesystem::path> user_data_folder();

// The computer's name, which names a station by default.
std::string computer_name();

// Sets a variable of the environment that commands started from here inherit.
void set_environment(const std::string& name, const std::string& value);

// Runs a command line through the system's shell (sh -c, cmd /c) and waits for it; its
// exit status, or -1 when it could not be run or ended by a signal.
int run_shell_command(const std::string& command);

// Where the scanner library was looked for, said when it was not found.
std::string library_search_text();

}  // namespace vkd::cli
