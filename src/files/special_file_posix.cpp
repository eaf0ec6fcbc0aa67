#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "files/buffered_sink.h"
#include "files/descriptor_posix.h"
#include "files/special_file.h"
#include "files/system_calls_posix.h"

namespace vkd::files {

std::error_code write_into_special_file(const std::filesystem::path& file, const Content& content) {
  Descriptor output(::open(file.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC));
  if (!output.is_open()) return last_error();
  const int fd = output.get();
  if (auto error = write_content(content, [fd](std::string_view bytes) { return write_all(fd, bytes); }))
    return error;
  if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) return last_error();
  return output.close();
}

}  // namespace vkd::files
