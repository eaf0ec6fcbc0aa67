#pragma once
// File names as the command line gives them and as messages show them: UTF-8.
#include <filesystem>
#include <string>

namespace vkd::cli {

std::filesystem::path path_of_utf8(const std::string& name);
std::string utf8_of_path(const std::filesystem::path& file);

}  // namespace vkd::cli
