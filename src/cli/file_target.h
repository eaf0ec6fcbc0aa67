#pragma once
// Where a file written in place of another really goes, and the name of the temporary
// file beside it.
#include <filesystem>
#include <system_error>

namespace vkd::cli {

// Follows symbolic links, relative ones from the folder of the link, to the path that is
// no link (a link to nothing gives the path it names). Fails with too_many_symbolic_link_levels
// on a loop.
std::filesystem::path final_target(std::filesystem::path file, std::error_code& error);

// ".NAME.NUMBER.tmp" in the folder of `file`, a new NUMBER at every call: the leading dot
// keeps it out of a plain listing while it exists.
std::filesystem::path temporary_sibling(const std::filesystem::path& file);

}  // namespace vkd::cli
