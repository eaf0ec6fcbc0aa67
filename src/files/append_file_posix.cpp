#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/append_file.h"
#include "files/buffered_sink.h"
#include "files/descriptor_posix.h"
#include "files/special_file.h"
#include "files/system_calls_posix.h"

namespace vkd::files {

namespace {

// Read access is asked for too, to see the last byte; a file that may be written and not
// read is added to all the same, its last byte unknown.
int open_regular_locked(const std::filesystem::path& file, bool& readable, std::error_code& error) {
  readable = true;
  const int fd = open_locked(file.c_str(), O_RDWR | O_APPEND | O_CREAT, 0666, error);
  if (fd >= 0 || error != std::errc::permission_denied) return fd;
  readable = false;
  error.clear();
  return open_locked(file.c_str(), O_WRONLY | O_APPEND | O_CREAT, 0666, error);
}

FileEnd end_of(int fd, bool readable, std::error_code& error) {
  struct stat status{};
  if (::fstat(fd, &status) != 0) {
    error = last_error();
    return {};
  }
  FileEnd end{static_cast<std::uintmax_t>(status.st_size), std::nullopt};
  char last = 0;
  if (readable && end.size > 0 && ::pread(fd, &last, 1, status.st_size - 1) == 1) end.last_byte = last;
  return end;
}

}  // namespace

WriteResult append_to_file(const std::filesystem::path& file, const Addition& addition) {
  struct stat existing{};
  const bool existed = ::stat(file.c_str(), &existing) == 0;
  // A FIFO may well have a reader that takes no lock.
  if (existed && !S_ISREG(existing.st_mode)) {
    return {write_into_special_file(file, [&addition](Sink& sink) { addition(sink, FileEnd{}); }), {}};
  }
  bool readable = true;
  std::error_code error;
  Descriptor output(open_regular_locked(file, readable, error));
  if (!output.is_open()) return {error, {}};
  const FileEnd end = end_of(output.get(), readable, error);
  if (error) return {error, {}};
  const int fd = output.get();
  const Content content = [&addition, &end](Sink& sink) { addition(sink, end); };
  error = write_content(content, [fd](std::string_view bytes) { return write_all(fd, bytes); });
  if (!error && ::fsync(fd) != 0) error = last_error();
  if (error) {
    // Whatever part went out is taken back, so that the file does not end in half a record.
    [[maybe_unused]] const int ignored = ::ftruncate(fd, static_cast<off_t>(end.size));
    return {error, {}};
  }
  if ((error = output.close())) return {error, {}};
  // A file made here has a new name in its folder, which reaches the disk with the folder.
  return {{}, existed ? std::error_code() : flush_folder(file.parent_path())};
}

}  // namespace vkd::files
