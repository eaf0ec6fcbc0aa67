#include <windows.h>

#include "files/buffered_sink.h"
#include "files/file_errors.h"
#include "files/final_target.h"
#include "files/replace_file.h"
#include "files/system_calls_windows.h"
#include "files/temporary_file.h"

namespace vkd::files {

namespace {

std::error_code write_into(const std::filesystem::path& file, const Content& content) {
  Handle output(::CreateFileW(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!output.is_open()) return last_error();
  const HANDLE handle = output.get();
  if (auto error = write_content(content, [handle](std::string_view bytes) { return write_all(handle, bytes); }))
    return error;
  return output.close();
}

}  // namespace

// The new file gets the permissions its folder gives new files, as the old one had.
WriteResult replace_file(const std::filesystem::path& file, const Content& content,
                         SpecialTarget special) {
  std::error_code error;
  const std::filesystem::path target = final_target(file, error);
  if (error) return {error, {}};
  const auto status = std::filesystem::status(target, error);
  if (error && status.type() != std::filesystem::file_type::not_found) return {error, {}};
  if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
    if (special == SpecialTarget::refuse) return {not_a_regular_file(), {}};
    return {write_into(target, content), {}};
  }
  TemporaryFile temporary;
  if ((error = temporary.create(target.parent_path()))) return {error, {}};
  if ((error = temporary.write_and_flush(content))) return {error, {}};
  return temporary.rename_over(target);
}

}  // namespace vkd::files
