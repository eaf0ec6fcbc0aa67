#include "sim/durable_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "sim/system_error.h"

namespace vkd::sim {

namespace {

bool failed(std::string& problem, const std::string& what) {
  problem = what + ": " + last_system_error();
  return false;
}

bool write_all(int descriptor, std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(descriptor, text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    text.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// The rename is a change of the folder, which reaches the disk with the folder's own
// flush. The new file is in place whatever this gives: some file systems refuse to flush
// a folder, and that is no reason to call the replacement failed.
void flush_folder(const std::filesystem::path& folder) {
  const int descriptor =
      ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

bool write_new_file(const std::filesystem::path& file, std::string_view text, std::string& problem) {
  const int descriptor = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (descriptor < 0) return failed(problem, "cannot create " + file.string());
  bool done = write_all(descriptor, text);
  if (!done) {
    failed(problem, "cannot write " + file.string());
  } else if (::fsync(descriptor) != 0) {
    done = failed(problem, "cannot flush " + file.string());
  }
  if (::close(descriptor) != 0 && done) done = failed(problem, "cannot close " + file.string());
  if (!done) ::unlink(file.c_str());
  return done;
}

bool rename_over(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& problem) {
  if (::rename(from.c_str(), to.c_str()) != 0) return failed(problem, "cannot replace " + to.string());
  flush_folder(to.parent_path());
  return true;
}

}  // namespace vkd::sim
