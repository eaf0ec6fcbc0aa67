#pragma once
// The files the command writes, written so that nothing is lost: a replaced file holds
// either its old content or the whole new one, and an addition is on the disk before
// the command reports success.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

namespace vkd::cli {

// Replaces the content of `file` through a temporary file in the same folder, written
// and flushed to the disk, renamed over it; then the folder is flushed. A symbolic link
// is followed: the file it leads to is replaced and keeps its permissions, the link
// stays. A new file gets the usual permissions. A target that is no regular file (a
// device, a pipe) cannot be replaced and is written to directly. On failure the file is
// unchanged and no temporary file is left.
std::error_code write_file_atomically(const std::filesystem::path& file, std::string_view content);

// Adds to the end of `file`, creating it when missing; `content` is told whether the file
// already holds something. Flushed to the disk before it returns; on failure the file is
// cut back to its old length.
std::error_code append_to_file(const std::filesystem::path& file,
                               const std::function<std::string(bool has_content)>& content);

}  // namespace vkd::cli
