#include <windows.h>

#include <algorithm>

#include "cli/atomic_file.h"
#include "cli/file_target.h"

namespace vkd::cli {

namespace {

std::error_code last_error() {
  return {static_cast<int>(GetLastError()), std::system_category()};
}

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (is_open()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  std::error_code close() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return CloseHandle(handle) ? std::error_code() : last_error();
  }

 private:
  HANDLE handle_;
};

std::error_code write_all(HANDLE file, std::string_view content) {
  while (!content.empty()) {
    // WriteFile takes 32-bit lengths.
    const DWORD piece = static_cast<DWORD>(std::min<std::size_t>(content.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, content.data(), piece, &written, nullptr)) return last_error();
    content.remove_prefix(written);
  }
  return {};
}

std::error_code write_and_flush(Handle& file, std::string_view content) {
  if (auto error = write_all(file.get(), content)) return error;
  if (!FlushFileBuffers(file.get())) return last_error();
  return file.close();
}

}  // namespace

std::error_code write_file_atomically(const std::filesystem::path& file, std::string_view content) {
  std::error_code error;
  const std::filesystem::path target = final_target(file, error);
  if (error) return error;
  const std::filesystem::path temporary = temporary_sibling(target);
  {
    Handle output(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!output.is_open()) return last_error();
    error = write_and_flush(output, content);
  }
  if (!error &&
      !MoveFileExW(temporary.c_str(), target.c_str(),
                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    error = last_error();
  }
  if (error) DeleteFileW(temporary.c_str());
  return error;
}

std::error_code append_to_file(const std::filesystem::path& file,
                               const std::function<std::string(bool has_content)>& content) {
  Handle output(CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output.is_open()) return last_error();
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(output.get(), &size)) return last_error();
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(output.get(), end, nullptr, FILE_END)) return last_error();
  std::error_code error = write_all(output.get(), content(size.QuadPart > 0));
  if (!error && !FlushFileBuffers(output.get())) error = last_error();
  if (error) {
    // Whatever part went out is taken back, so that the file does not end in half a record.
    SetFilePointerEx(output.get(), size, nullptr, FILE_BEGIN);
    SetEndOfFile(output.get());
    return error;
  }
  return output.close();
}

}  // namespace vkd::cli
