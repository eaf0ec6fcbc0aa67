#pragma once
// Whole-file reading, and replacement that another process never sees half done: it
// reads either the old content or the new.
#include <optional>
#include <string>
#include <string_view>

namespace vkd::sim {

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> read_file(const std::string& path);

// Writes the text to a new file in the same folder, then renames it over the path. On
// failure the file is unchanged, no temporary file is left, and `problem` says why.
bool replace_file(const std::string& path, std::string_view text, std::string& problem);

}  // namespace vkd::sim
