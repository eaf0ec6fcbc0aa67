#include "files/replace_file.h"

#include "files/file_errors.h"
#include "files/final_target.h"
#include "files/special_file.h"
#include "files/temporary_file.h"

namespace vkd::files {

WriteResult replace_file(const std::filesystem::path& file, const Content& content,
                         SpecialTarget special) {
  std::error_code error;
  const std::filesystem::path target = final_target(file, error);
  if (error) return {error, {}};
  const auto status = std::filesystem::status(target, error);
  if (error && status.type() != std::filesystem::file_type::not_found) return {error, {}};
  const bool exists = std::filesystem::exists(status);
  if (exists && !std::filesystem::is_regular_file(status)) {
    if (special == SpecialTarget::refuse) return {not_a_regular_file(), {}};
    return {write_into_special_file(target, content), {}};
  }
  TemporaryFile temporary;
  if ((error = temporary.create(target.parent_path()))) return {error, {}};
  if (exists && (error = temporary.take_permissions_of(target))) return {error, {}};
  if ((error = temporary.write_and_flush(content))) return {error, {}};
  return temporary.rename_over(target);
}

WriteResult replace_file(const std::filesystem::path& file, std::string_view content,
                         SpecialTarget special) {
  return replace_file(file, [content](Sink& sink) { sink.write(content); }, special);
}

}  // namespace vkd::files
