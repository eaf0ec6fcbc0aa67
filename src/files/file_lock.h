#pragma once
// The advisory lock of a file that several processes read and replace whole (the
// simulated scanner's device file): whoever holds it from reading the file to writing it
// back makes a change to the file as it is at that moment, and no process's change is
// lost. It holds off only those who take it too.
//
// On POSIX systems the lock is flock on the file itself. Writers replace the file by
// renaming a new one over it, which leaves a waiting process holding the lock of a file
// the path no longer names; so a lock counts only once the locked file is still the one
// the path names, and is taken again on the new file otherwise.
//
// On Windows the lock is LockFileEx on a companion file, the file's path with ".lock"
// added, created when first needed and never removed (removing it would let two
// processes lock two different files): Wine, and Windows where it renames the classic
// way, refuse to rename a file over one that any process holds open, so the file itself
// cannot be held while it is replaced.
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <utility>

namespace vkd::files {

class FileLock {
 public:
  // Waits until this process holds the lock of `file`, which must exist. Nothing, with
  // `error` saying why, when it cannot be opened (is_a_directory for a folder on
  // Windows) or locked.
  static std::optional<FileLock> take(const std::filesystem::path& file, std::error_code& error);

  FileLock(FileLock&& other) noexcept : handle_(std::exchange(other.handle_, released)) {}
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  FileLock& operator=(FileLock&&) = delete;
  ~FileLock();

 private:
  static constexpr std::intptr_t released = -1;
  explicit FileLock(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_;  // the locked file's descriptor, or its Windows handle
};

}  // namespace vkd::files
