#pragma once
// Where a file written in place of another really goes: a symbolic link stays a link and
// leads to the new content.
#include <filesystem>
#include <system_error>

namespace vkd::files {

// Follows symbolic links, relative ones from the folder of the link, to the path that is
// no link (a link to nothing gives the path it names). Fails with too_many_symbolic_link_levels
// on a loop.
std::filesystem::path final_target(std::filesystem::path file, std::error_code& error);

}  // namespace vkd::files
