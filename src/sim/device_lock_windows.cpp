#include "sim/device_lock.h"

#include <windows.h>

#include <filesystem>

#include "sim/system_error.h"

namespace vkd::sim {

std::optional<DeviceLock> DeviceLock::take(const std::string& path, std::string& problem) {
  const std::filesystem::path device(path);
  // No companion file beside what is no device file at all.
  const DWORD attributes = ::GetFileAttributesW(device.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    problem = "cannot be read: " + last_system_error();
    return std::nullopt;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    problem = "is a folder";
    return std::nullopt;
  }
  std::filesystem::path companion = device;
  companion += ".lock";
  const HANDLE handle = ::CreateFileW(companion.c_str(), GENERIC_READ | GENERIC_WRITE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    problem = "cannot be locked: " + last_system_error();
    return std::nullopt;
  }
  OVERLAPPED whole_file{};
  if (!::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK, 0, MAXDWORD, MAXDWORD, &whole_file)) {
    problem = "cannot be locked: " + last_system_error();
    ::CloseHandle(handle);
    return std::nullopt;
  }
  return DeviceLock(reinterpret_cast<std::intptr_t>(handle));
}

// Closing the handle releases its lock.
DeviceLock::~DeviceLock() {
  if (handle_ != released) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace vkd::sim
