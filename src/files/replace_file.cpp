#include "files/replace_file.h"

namespace vkd::files {

WriteResult replace_file(const std::filesystem::path& file, std::string_view content,
                         SpecialTarget special) {
  return replace_file(file, [content](Sink& sink) { sink.write(content); }, special);
}

}  // namespace vkd::files
