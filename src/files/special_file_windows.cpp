#include <windows.h>

#include "files/buffered_sink.h"
#include "files/special_file.h"
#include "files/system_calls_windows.h"

namespace vkd::files {

std::error_code write_into_special_file(const std::filesystem::path& file, const Content& content) {
  Handle output(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output.is_open()) return last_error();
  const HANDLE handle = output.get();
  if (auto error = write_content(content, [handle](std::string_view bytes) { return write_all(handle, bytes); }))
    return error;
  return output.close();
}

}  // namespace vkd::files
