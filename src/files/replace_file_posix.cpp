#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/buffered_sink.h"
#include "files/descriptor_posix.h"
#include "files/file_errors.h"
#include "files/final_target.h"
#include "files/replace_file.h"
#include "files/system_calls_posix.h"
#include "files/temporary_file.h"

namespace vkd::files {

namespace {

// A device or a pipe may have no disk to flush to.
std::error_code write_into(const std::filesystem::path& file, const Content& content) {
  Descriptor output(::open(file.c_str(), O_WRONLY | O_CLOEXEC));
  if (!output.is_open()) return last_error();
  const int fd = output.get();
  if (auto error = write_content(content, [fd](std::string_view bytes) { return write_all(fd, bytes); }))
    return error;
  if (::fsync(fd) != 0 && errno != EINVAL && errno != ENOTSUP) return last_error();
  return output.close();
}

// The new file takes the old one's permissions and, where allowed, its owner.
std::error_code keep_permissions(const TemporaryFile& temporary, const struct stat& replaced) {
  const int fd = static_cast<int>(temporary.native());
  if (::fchmod(fd, replaced.st_mode & 07777) != 0) return last_error();
  [[maybe_unused]] const int ignored = ::fchown(fd, replaced.st_uid, replaced.st_gid);
  return {};
}

}  // namespace

WriteResult replace_file(const std::filesystem::path& file, const Content& content,
                         SpecialTarget special) {
  std::error_code error;
  const std::filesystem::path target = final_target(file, error);
  if (error) return {error, {}};
  struct stat existing{};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return {last_error(), {}};
  if (exists && !S_ISREG(existing.st_mode)) {
    if (special == SpecialTarget::refuse) return {not_a_regular_file(), {}};
    return {write_into(target, content), {}};
  }
  TemporaryFile temporary;
  if ((error = temporary.create(target.parent_path()))) return {error, {}};
  if (exists && (error = keep_permissions(temporary, existing))) return {error, {}};
  if ((error = temporary.write_and_flush(content))) return {error, {}};
  return temporary.rename_over(target);
}

}  // namespace vkd::files
