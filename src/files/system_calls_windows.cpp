#include "files/system_calls_windows.h"

#include <algorithm>

namespace vkd::files {

std::error_code last_error() { return {static_cast<int>(::GetLastError()), std::system_category()}; }

std::error_code write_all(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const auto piece = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data(), piece, &written, nullptr)) return last_error();
    if (written == 0) return std::make_error_code(std::errc::io_error);
    bytes.remove_prefix(written);
  }
  return {};
}

std::error_code lock_exclusively(HANDLE file) {
  OVERLAPPED far_byte{};
  far_byte.Offset = 0xFFFFFFFE;
  far_byte.OffsetHigh = 0x7FFFFFFF;
  if (!::LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK, 0, 1, 0, &far_byte)) return last_error();
  return {};
}

}  // namespace vkd::files
