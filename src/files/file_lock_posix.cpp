#include "files/file_lock.h"

#include <fcntl.h>
#include <unistd.h>

#include "files/system_calls_posix.h"

namespace vkd::files {

// Not blocking on the opening, should the path name a pipe; the lock itself waits.
std::optional<FileLock> FileLock::take(const std::filesystem::path& file, std::error_code& error) {
  const int descriptor = open_locked(file.c_str(), O_RDONLY | O_NONBLOCK, 0, error);
  if (descriptor < 0) return std::nullopt;
  return FileLock(descriptor);
}

FileLock::~FileLock() {
  if (handle_ != released) ::close(static_cast<int>(handle_));
}

}  // namespace vkd::files
