#pragma once
// Whole-file reading, and replacement that another process never sees half done and a
// crash never leaves half written: it reads either the old content or the new.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vkd::sim {

// The file's bytes; nothing, with `problem` saying why, when the path names no file, a
// folder or anything else that is not a regular file, when reading it fails, or when it
// holds more than `max_size` bytes.
std::optional<std::string> read_file(const std::string& path, std::size_t max_size,
                                     std::string& problem);

// Writes the text to a new file beside the one replaced, flushes it to the disk, then
// renames it over the old one. A symbolic link is followed: the file it leads to is
// replaced, keeping its permissions, and the link stays. On failure the file is
// unchanged, no temporary file is left, and `problem` says why.
bool replace_file(const std::string& path, std::string_view text, std::string& problem);

}  // namespace vkd::sim
