#include <windows.h>

#include "files/append_file.h"
#include "files/buffered_sink.h"
#include "files/system_calls_windows.h"

namespace vkd::files {

namespace {

FileEnd end_of(HANDLE file, std::error_code& error) {
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file, &size)) {
    error = last_error();
    return {};
  }
  FileEnd end{static_cast<std::uintmax_t>(size.QuadPart), std::nullopt};
  LARGE_INTEGER last = size;
  last.QuadPart -= 1;
  char byte = 0;
  DWORD read = 0;
  if (end.size > 0 && ::SetFilePointerEx(file, last, nullptr, FILE_BEGIN) &&
      ::ReadFile(file, &byte, 1, &read, nullptr) && read == 1) {
    end.last_byte = byte;
  }
  return end;
}

}  // namespace

// Shared for writing, so that a second process waits for the lock rather than failing to
// open the file.
WriteResult append_to_file(const std::filesystem::path& file, const Addition& addition) {
  Handle output(::CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output.is_open()) return {last_error(), {}};
  const HANDLE handle = output.get();
  if (auto error = lock_exclusively(handle)) return {error, {}};
  std::error_code error;
  const FileEnd end = end_of(handle, error);
  if (error) return {error, {}};
  LARGE_INTEGER at_end{};
  if (!::SetFilePointerEx(handle, at_end, nullptr, FILE_END)) return {last_error(), {}};
  const Content content = [&addition, &end](Sink& sink) { addition(sink, end); };
  error = write_content(content, [handle](std::string_view bytes) { return write_all(handle, bytes); });
  if (!error && !::FlushFileBuffers(handle)) error = last_error();
  if (error) {
    // Whatever part went out is taken back, so that the file does not end in half a record.
    LARGE_INTEGER old_end{};
    old_end.QuadPart = static_cast<LONGLONG>(end.size);
    ::SetFilePointerEx(handle, old_end, nullptr, FILE_BEGIN);
    ::SetEndOfFile(handle);
    return {error, {}};
  }
  return {output.close(), {}};
}

}  // namespace vkd::files
