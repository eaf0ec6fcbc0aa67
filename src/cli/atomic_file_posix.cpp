#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/atomic_file.h"
#include "cli/file_descriptor_posix.h"
#include "cli/file_target.h"

namespace vkd::cli {

namespace {

std::error_code last_error() { return {errno, std::generic_category()}; }

std::error_code write_all(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return last_error();
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return {};
}

// A device or a pipe may have no disk to flush to; a regular file always has.
std::error_code flush_to_disk(int fd, bool regular_file) {
  if (::fsync(fd) == 0) return {};
  if (!regular_file && (errno == EINVAL || errno == ENOTSUP)) return {};
  return last_error();
}

std::error_code flush_folder(const std::filesystem::path& folder) {
  Descriptor directory(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY));
  if (!directory.is_open()) return last_error();
  // Some file systems cannot flush a folder; the rename is then as safe as they make it.
  if (::fsync(directory.get()) != 0 && errno != EINVAL && errno != ENOTSUP) return last_error();
  return {};
}

std::error_code write_in_place(const std::filesystem::path& file, std::string_view content) {
  Descriptor output(::open(file.c_str(), O_WRONLY | O_CLOEXEC));
  if (!output.is_open()) return last_error();
  if (auto error = write_all(output.get(), content)) return error;
  if (auto error = flush_to_disk(output.get(), false)) return error;
  return output.close();
}

// The new file takes the old one's permissions and, where allowed, its owner; a new file
// gets those of any file the user creates (0666 less the umask).
std::error_code write_temporary(const std::filesystem::path& temporary, std::string_view content,
                                const struct stat* replaced) {
  Descriptor output(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
  if (!output.is_open()) return last_error();
  if (replaced != nullptr) {
    if (::fchmod(output.get(), replaced->st_mode & 07777) != 0) return last_error();
    [[maybe_unused]] const int ignored = ::fchown(output.get(), replaced->st_uid, replaced->st_gid);
  }
  if (auto error = write_all(output.get(), content)) return error;
  if (auto error = flush_to_disk(output.get(), true)) return error;
  return output.close();
}

}  // namespace

std::error_code write_file_atomically(const std::filesystem::path& file, std::string_view content) {
  std::error_code error;
  const std::filesystem::path target = final_target(file, error);
  if (error) return error;
  struct stat existing{};
  const bool exists = ::stat(target.c_str(), &existing) == 0;
  if (!exists && errno != ENOENT) return last_error();
  if (exists && !S_ISREG(existing.st_mode)) return write_in_place(target, content);

  std::filesystem::path temporary = temporary_sibling(target);
  error = write_temporary(temporary, content, exists ? &existing : nullptr);
  if (error == std::errc::file_exists) {  // a name taken by chance: one more try
    temporary = temporary_sibling(target);
    error = write_temporary(temporary, content, exists ? &existing : nullptr);
  }
  if (!error && ::rename(temporary.c_str(), target.c_str()) != 0) error = last_error();
  if (error) {
    if (error != std::errc::file_exists) ::unlink(temporary.c_str());
    return error;
  }
  return flush_folder(target.parent_path());
}

std::error_code append_to_file(const std::filesystem::path& file,
                               const std::function<std::string(bool has_content)>& content) {
  Descriptor output(::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
  if (!output.is_open()) return last_error();
  struct stat before{};
  if (::fstat(output.get(), &before) != 0) return last_error();
  const bool regular_file = S_ISREG(before.st_mode);
  std::error_code error = write_all(output.get(), content(regular_file && before.st_size > 0));
  if (!error) error = flush_to_disk(output.get(), regular_file);
  if (error && regular_file) {
    // Whatever part went out is taken back, so that the file does not end in half a record.
    [[maybe_unused]] const int ignored = ::ftruncate(output.get(), before.st_size);
  }
  if (error) return error;
  return output.close();
}

}  // namespace vkd::cli
