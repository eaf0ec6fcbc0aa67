#pragma once
// The command's memory between runs: the port on which the scanner last answered, kept
// in a small JSON file under the user's configuration folder.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>

namespace vkd::cli {

// <configuration folder>/vkdclicker/state.json, or none when the environment names no
// configuration folder.
std::optional<std::filesystem::path> default_state_file();

// The remembered port. A missing, unreadable or malformed file is reported on `warnings`
// and gives none: the command then goes on as if it had never run.
std::optional<std::int16_t> read_remembered_port(const std::filesystem::path& file,
                                                 std::ostream& warnings);

// Writes a temporary file next to `file` and renames it into place, so that a run that is
// cut short never leaves half a file behind. A failure is reported on `warnings` only: the
// operation itself has succeeded.
void remember_port(const std::filesystem::path& file, std::int16_t port, std::ostream& warnings);

}  // namespace vkd::cli
