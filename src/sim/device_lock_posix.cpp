#include "sim/device_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "sim/system_error.h"

namespace vkd::sim {

namespace {

bool names_same_file(const struct stat& first, const struct stat& second) {
  return first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

}  // namespace

std::optional<DeviceLock> DeviceLock::take(const std::string& path, std::string& problem) {
  for (;;) {
    // Not blocking on the opening, should the path name a pipe; the lock itself waits.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
      problem = "cannot be read: " + last_system_error();
      return std::nullopt;
    }
    int locked = ::flock(descriptor, LOCK_EX);
    while (locked != 0 && errno == EINTR) locked = ::flock(descriptor, LOCK_EX);
    if (locked != 0) {
      problem = "cannot be locked: " + last_system_error();
      ::close(descriptor);
      return std::nullopt;
    }
    struct stat held {};
    struct stat named {};
    if (::fstat(descriptor, &held) == 0 && ::stat(path.c_str(), &named) == 0 &&
        names_same_file(held, named)) {
      return DeviceLock(descriptor);
    }
    // Replaced while this process waited: the lock that counts is the new file's.
    ::close(descriptor);
  }
}

DeviceLock::~DeviceLock() {
  if (handle_ != released) ::close(static_cast<int>(handle_));
}

}  // namespace vkd::sim
