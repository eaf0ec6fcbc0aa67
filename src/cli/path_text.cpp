#include "cli/path_text.h"

namespace vkd::cli {

std::filesystem::path path_of_utf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

std::string utf8_of_path(const std::filesystem::path& file) {
  const auto name = file.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace vkd::cli
