#pragma once
// The command's memory between runs: the port on which the scanner last answered, kept
// in a small JSON file in the user's state folder, since a port belongs to one machine.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <ostream>

namespace vkd::cli {

// <state folder>/vkdclicker/state.json, or none when the environment names no state
// folder.
std::optional<std::filesystem::path> default_state_file();

// The remembered port. A missing file gives none silently: the command has not found a
// scanner yet. A file that is no regular file under 64 KiB, unreadable or malformed is
// reported on `warnings` and gives none: the command then goes on as if it had never run.
std::optional<std::int16_t> read_remembered_port(const std::filesystem::path& file,
                                                 std::ostream& warnings);

// Replaces the file atomically, creating its folder; anything but a regular file in its
// place (a FIFO, a device) is left alone. A failure is reported on `warnings` only: the
// operation itself has succeeded.
void remember_port(const std::filesystem::path& file, std::int16_t port, std::ostream& warnings);

}  // namespace vkd::cli
