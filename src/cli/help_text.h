#pragma once
#include <string_view>

namespace vkd::cli {

inline constexpr std::string_view version_text = "5.01.0001";

std::string_view help_text();

}  // namespace vkd::cli
