#pragma once
// Replacing a file whole, so that nothing is lost: a reader, and the file after a crash,
// hold either the old content or the whole new one. The new content goes to a temporary
// file beside the target (temporary_file.h), is flushed to the disk, and the temporary
// file is renamed over the target; then the folder is flushed (POSIX) or the rename
// written through (Windows).
#include <filesystem>
#include <string_view>

#include "files/sink.h"
#include "files/write_result.h"

namespace vkd::files {

// What is done with a target that is no regular file (a device, a FIFO): renaming a file
// over it would take its place away.
enum class SpecialTarget {
  refuse,      // fail with not_a_regular_file, writing nothing
  write_into,  // write the content into it, as a program writing to /dev/null expects
};

// Replaces the content of `file`. A symbolic link is followed: the file it leads to is
// replaced, and keeps its permissions (and on POSIX systems, where allowed, its owner);
// the link stays. A new file gets those of any file the user creates. On failure the
// file is unchanged and no temporary file is left.
WriteResult replace_file(const std::filesystem::path& file, const Content& content,
                         SpecialTarget special = SpecialTarget::refuse);
WriteResult replace_file(const std::filesystem::path& file, std::string_view content,
                         SpecialTarget special = SpecialTarget::refuse);

}  // namespace vkd::files
