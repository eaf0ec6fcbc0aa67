#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/file_descriptor_posix.h"
#include "cli/small_file.h"

namespace vkd::cli {

namespace {

bool small_regular_file(const struct stat& status, std::size_t limit) {
  return S_ISREG(status.st_mode) && static_cast<std::size_t>(status.st_size) < limit;
}

}  // namespace

std::variant<std::string, FileProblem> read_small_file(const std::filesystem::path& file,
                                                       std::size_t limit) {
  struct stat status{};
  if (::stat(file.c_str(), &status) != 0)
    return errno == ENOENT ? FileProblem::missing : FileProblem::unreadable;
  if (!small_regular_file(status, limit)) return FileProblem::not_a_small_regular_file;
  // Not blocking, and checked again once open: the file may have been swapped meanwhile.
  const Descriptor input(::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (!input.is_open() || ::fstat(input.get(), &status) != 0) return FileProblem::unreadable;
  if (!small_regular_file(status, limit)) return FileProblem::not_a_small_regular_file;
  std::string content(limit, '\0');
  std::size_t filled = 0;
  while (filled < limit) {
    const ssize_t got = ::read(input.get(), content.data() + filled, limit - filled);
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) return FileProblem::unreadable;
    filled += static_cast<std::size_t>(got);
  }
  if (filled == limit) return FileProblem::not_a_small_regular_file;  // it grew meanwhile
  content.resize(filled);
  return content;
}

}  // namespace vkd::cli
