#include "files/system_calls_posix.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "files/descriptor_posix.h"

namespace vkd::files {

std::error_code last_error() { return {errno, std::generic_category()}; }

std::error_code write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

std::error_code flush_folder(const std::filesystem::path& folder) {
  Descriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!directory.is_open()) return last_error();
  if (::fsync(directory.get()) != 0 && errno != EINVAL && errno != ENOTSUP) return last_error();
  return {};
}

bool same_file(const struct stat& first, const struct stat& second) {
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

int open_locked(const char* path, int flags, mode_t mode, std::error_code& error) {
  for (;;) {
    Descriptor opened(::open(path, flags | O_CLOEXEC, mode));
    if (!opened.is_open()) {
      error = last_error();
      return -1;
    }
    int locked = ::flock(opened.get(), LOCK_EX);
    while (locked != 0 && errno == EINTR) locked = ::flock(opened.get(), LOCK_EX);
    if (locked != 0) {
      error = last_error();
      return -1;
    }
    struct stat held{};
    struct stat named{};
    if (::fstat(opened.get(), &held) == 0 && ::stat(path, &named) == 0 && same_file(held, named))
      return opened.release();
    // Replaced while this process waited: the lock that counts is the new file's.
  }
}

}  // namespace vkd::files
