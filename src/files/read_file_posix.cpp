#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <optional>

#include "files/descriptor_posix.h"
#include "files/read_file.h"
#include "files/system_calls_posix.h"

namespace vkd::files {

namespace {

std::optional<ReadProblem> problem_of(const struct stat& status, std::size_t most_bytes) {
  if (S_ISDIR(status.st_mode)) return ReadProblem::folder;
  if (!S_ISREG(status.st_mode)) return ReadProblem::not_regular;
  if (static_cast<std::uintmax_t>(status.st_size) > most_bytes) return ReadProblem::too_large;
  return std::nullopt;
}

ReadFailure unreadable() { return {ReadProblem::unreadable, last_error()}; }

}  // namespace

std::variant<std::string, ReadFailure> read_file(const std::filesystem::path& file,
                                                 std::size_t most_bytes) {
  struct stat status{};
  if (::stat(file.c_str(), &status) != 0)
    return errno == ENOENT ? ReadFailure{ReadProblem::missing, last_error()} : unreadable();
  if (const auto problem = problem_of(status, most_bytes)) return ReadFailure{*problem, {}};
  // Not blocking, and checked again once open: the file may have been swapped meanwhile.
  const Descriptor input(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!input.is_open() || ::fstat(input.get(), &status) != 0) return unreadable();
  if (const auto problem = problem_of(status, most_bytes)) return ReadFailure{*problem, {}};
  // One byte more than allowed tells a file that grew meanwhile.
  std::string content(static_cast<std::size_t>(status.st_size) + 1, '\0');
  std::size_t filled = 0;
  for (;;) {
    if (filled == content.size()) {
      if (content.size() > most_bytes) return ReadFailure{ReadProblem::too_large, {}};
      content.resize(std::min(content.size() * 2, most_bytes + 1));
    }
    const ssize_t got = ::read(input.get(), content.data() + filled, content.size() - filled);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return unreadable();
    filled += static_cast<std::size_t>(got);
  }
  content.resize(filled);
  return content;
}

}  // namespace vkd::files
