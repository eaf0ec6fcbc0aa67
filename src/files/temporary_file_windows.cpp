#include <windows.h>

#include <cwchar>
#include <vector>

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

// Opened for this process alone (no sharing): that is what holds off the cleanup of other
// processes, which must open a file to remove it.
std::error_code TemporaryFile::create(const std::filesystem::path& folder) {
  remove_abandoned_temporary_files(folder);
  for (int attempt = 0; attempt < 8; ++attempt) {
    path_ = folder / new_temporary_name();
    const HANDLE file = ::CreateFileW(path_.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
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

std::error_code TemporaryFile::write(std::string_view bytes) {
  return write_all(handle_of(native_), bytes);
}

std::error_code TemporaryFile::flush() {
  return ::FlushFileBuffers(handle_of(native_)) ? std::error_code() : last_error();
}

// Renamed through its own handle, which no other process can open meanwhile, then
// flushed: the rename is on the disk when this returns, as MoveFileEx's write-through
// makes it. The target is named by its name alone, which the call takes as one in the
// same folder.
WriteResult TemporaryFile::rename_over(const std::filesystem::path& target) {
  const HANDLE file = handle_of(native_);
  if (!delete_on_close(file, false)) return {last_error(), {}};
  const std::wstring name = target.filename().wstring();
  std::vector<unsigned char> buffer(sizeof(FILE_RENAME_INFO) + name.size() * sizeof(wchar_t));
  auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.data());
  rename->ReplaceIfExists = TRUE;
  rename->RootDirectory = nullptr;
  rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
  std::wmemcpy(rename->FileName, name.c_str(), name.size());
  if (!::SetFileInformationByHandle(file, FileRenameInfo, rename, static_cast<DWORD>(buffer.size()))) {
    const std::error_code error = last_error();
    delete_on_close(file, true);
    return {error, {}};
  }
  native_ = -1;
  const std::error_code not_flushed = ::FlushFileBuffers(file) ? std::error_code() : last_error();
  ::CloseHandle(file);
  return {{}, not_flushed};
}

// A file that another process holds cannot be opened for deleting; one whose process
// ended can, and goes when this handle closes.
void remove_abandoned_temporary_files(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::directory_iterator entry(folder.empty() ? "." : folder, error);
  for (; !error && entry != std::filesystem::directory_iterator(); entry.increment(error)) {
    if (!is_temporary_name(entry->path().filename())) continue;
    const HANDLE file = ::CreateFileW(entry->path().c_str(), DELETE,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                      OPEN_EXISTING, FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr);
    if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  }
}

}  // namespace vkd::files
