#include "files/final_target.h"

namespace vkd::files {

namespace {

// As many links in a row as the Linux kernel follows before it gives up.
constexpr int most_links = 40;

}  // namespace

std::filesystem::path final_target(std::filesystem::path file, std::error_code& error) {
  for (int link = 0; link <= most_links; ++link) {
    const auto status = std::filesystem::symlink_status(file, error);
    if (error == std::errc::no_such_file_or_directory) {
      error.clear();
      return file;
    }
    if (error || !std::filesystem::is_symlink(status)) return file;
    const auto next = std::filesystem::read_symlink(file, error);
    if (error) return file;
    file = file.parent_path() / next;  // an absolute `next` replaces the whole path
  }
  error = std::make_error_code(std::errc::too_many_symbolic_link_levels);
  return file;
}

}  // namespace vkd::files
