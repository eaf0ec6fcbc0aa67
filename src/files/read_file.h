#pragma once
// Reading a whole file that the user's environment points at, without trusting what it
// is: a link to /dev/zero would be read until memory ran out, a FIFO would wait for ever.
#include <cstddef>
#include <filesystem>
#include <string>
#include <system_error>
#include <variant>

namespace vkd::files {

enum class ReadProblem { missing, folder, not_regular, too_large, unreadable };

struct ReadFailure {
  ReadProblem problem;
  std::error_code error;  // the system's reason, for `unreadable`
};

// The whole content of `file` when it is (or its links lead to) a regular file of at most
// `most_bytes` bytes. Opening never waits, and a file that grows past the bound while it
// is read is refused without being read whole.
std::variant<std::string, ReadFailure> read_file(const std::filesystem::path& file,
                                                 std::size_t most_bytes);

}  // namespace vkd::files
