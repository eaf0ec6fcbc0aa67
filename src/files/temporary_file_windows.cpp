#include <windows.h>

#include "files/system_calls_windows.h"
#include "files/temporary_file.h"

namespace vkd::files {

namespace {

HANDLE handle_of(std::intptr_t native) { return reinterpret_cast<HANDLE>(native); }

// While it is set, the file goes when its last handle closes, also when the process is
// ended from outside.
bool delete_on_close(HANDLE file, bool deleting) {
  FILE_DISPOSITION_INFO disposition{};
  disposition.DeleteFile = deleting ? TRUE : FALSE;
  return ::SetFileInformationByHandle(file, FileDispositionInfo, &disposition, sizeof disposition);
}

}  // namespace

TemporaryFile::~TemporaryFile() {
  if (native_ == -1) return;
  const bool marked = delete_on_close(handle_of(native_), true);
  ::CloseHandle(handle_of(native_));
  if (!marked) ::DeleteFileW(path_.c_str());
}

// Shared with nothing but a rename: that is what holds off the cleanup of other processes,
// which must open a file for themselves alone to remove it.
std::error_code TemporaryFile::create(const std::filesystem::path& folder) {
  remove_abandoned_temporary_files(folder);
  for (int attempt = 0; attempt < 8; ++attempt) {
    path_ = folder / new_temporary_name();
    const HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
      if (::GetLastError() == ERROR_FILE_EXISTS) continue;  // a name taken by chance
      return last_error();
    }
    // A file system that cannot do this leaves the file to the next cleanup.
    delete_on_close(file, true);
    native_ = reinterpret_cast<std::intptr_t>(file);
    return {};
  }
  return std::make_error_code(std::errc::file_exists);
}

std::error_code TemporaryFile::take_permissions_of(const std::filesystem::path&) { return {}; }

std::error_code TemporaryFile::write(std::string_view bytes) {
  return write_all(handle_of(native_), bytes);
}

std::error_code TemporaryFile::flush() {
  return ::FlushFileBuffers(handle_of(native_)) ? std::error_code() : last_error();
}

// MOVEFILE_WRITE_THROUGH returns once the rename is on the disk: Windows has no separate
// flush of a folder. The handle stays open meanwhile, so that no cleanup takes the file
// between its last write and its rename; it lets the rename share it, and nothing else.
WriteResult TemporaryFile::rename_over(const std::filesystem::path& target) {
  const HANDLE file = handle_of(native_);
  if (!delete_on_close(file, false)) return {last_error(), {}};
  if (!::MoveFileExW(path_.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    const std::error_code error = last_error();
    delete_on_close(file, true);
    return {error, {}};
  }
  native_ = -1;
  ::CloseHandle(file);
  return {};
}

// A file that any process holds open cannot be opened for this process alone; one whose
// process ended can, and goes when this handle closes.
void remove_abandoned_temporary_files(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!is_temporary_name(entry->path().filename())) continue;
    const HANDLE file = ::CreateFileW(entry->path().c_str(), DELETE, 0, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  }
}

}  // namespace vkd::files
