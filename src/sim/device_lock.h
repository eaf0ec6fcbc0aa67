#pragma once
// The advisory lock of a device file. Every process that serves the file holds it from
// its reading of the file to its writing back, so that a change is always made to the
// file as it is at that moment, never to a copy that another process has since replaced,
// and no process's change is lost. Anything else that changes the file (a test adding
// barcodes, a tool) takes the same lock through this class.
//
// On POSIX systems the lock is flock on the device file itself. Writers replace the file
// by renaming a new one over it, which leaves a waiting process holding the lock of a
// file the path no longer names; so a lock counts only once the locked file is still
// the one the path names, and is taken again on the new file otherwise.
//
// On Windows the lock is LockFileEx on a companion file, the device file's path with
// ".lock" added, created when first needed and never removed: Wine, and Windows where it
// renames the classic way, refuse to rename a file over one that any process holds open,
// so the device file itself cannot be held while it is replaced.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace vkd::sim {

class DeviceLock {
 public:
  // Waits until this process holds the lock of the device file at `path`. Nothing, with
  // `problem` saying why, when the file is not there or cannot be locked.
  static std::optional<DeviceLock> take(const std::string& path, std::string& problem);

  DeviceLock(DeviceLock&& other) noexcept : handle_(std::exchange(other.handle_, released)) {}
  DeviceLock(const DeviceLock&) = delete;
  DeviceLock& operator=(const DeviceLock&) = delete;
  DeviceLock& operator=(DeviceLock&&) = delete;
  ~DeviceLock();

 private:
  static constexpr std::intptr_t released = -1;
  explicit DeviceLock(std::intptr_t handle) : handle_(handle) {}

  std::intptr_t handle_;  // the locked file's descriptor, or its Windows handle
};

}  // namespace vkd::sim
