#include "files/file_lock.h"

#include <windows.h>

#include "files/system_calls_windows.h"

namespace vkd::files {

std::optional<FileLock> FileLock::take(const std::filesystem::path& file, std::error_code& error) {
  // No companion file beside what is no such file at all.
  const DWORD attributes = ::GetFileAttributesW(file.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    error = last_error();
    return std::nullopt;
  }
  if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    error = std::make_error_code(std::errc::is_a_directory);
    return std::nullopt;
  }
  std::filesystem::path companion = file;
  companion += ".lock";
  Handle handle(::CreateFileW(companion.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!handle.is_open()) {
    error = last_error();
    return std::nullopt;
  }
  if (auto failed = lock_exclusively(handle.get())) {
    error = failed;
    return std::nullopt;
  }
  return FileLock(reinterpret_cast<std::intptr_t>(handle.release()));
}

// Closing the handle releases its lock.
FileLock::~FileLock() {
  if (handle_ != released) ::CloseHandle(reinterpret_cast<HANDLE>(handle_));
}

}  // namespace vkd::files
