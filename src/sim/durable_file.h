#pragma once
// The operating system's part of replacing a file safely: a new file whose bytes are on
// the disk before anything refers to it, and a rename that is on the disk once done.
#include <filesystem>
#include <string>
#include <string_view>

namespace vkd::sim {

// Creates `file`, which must not exist yet, holding `text`, and flushes it to the disk.
// On failure `problem` says why, and no file is left.
bool write_new_file(const std::filesystem::path& file, std::string_view text, std::string& problem);

// Renames `from` over `to` in one step, so that `to` always names the old file or the new
// one, then flushes the folder where the file system needs it, so that the rename
// survives a crash too.
bool rename_over(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& problem);

}  // namespace vkd::sim
