#pragma once
// Reading a small file the user's environment points at, without trusting what it is:
// a link to /dev/zero would be read until memory ran out, a FIFO would wait for ever.
#include <cstddef>
#include <filesystem>
#include <string>
#include <variant>

namespace vkd::cli {

enum class FileProblem { missing, not_a_small_regular_file, unreadable };

// The whole content of `file` when it is (or a link leads to) a regular file of fewer
// than `limit` bytes.
std::variant<std::string, FileProblem> read_small_file(const std::filesystem::path& file,
                                                       std::size_t limit);

}  // namespace vkd::cli
