#pragma once
// Adding to the end of a file, under the file's lock, so that additions of several
// processes follow one another whole, and each sees what the one before it left.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "files/sink.h"
#include "files/write_result.h"

namespace vkd::files {

// What an addition finds at the end of the file it continues.
struct FileEnd {
  std::uintmax_t size = 0;        // the bytes already there; 0 for a device or a pipe
  std::optional<char> last_byte;  // the last of them, where it could be read
};

using Addition = std::function<void(Sink& sink, const FileEnd& end)>;

// Adds to the end of `file`, creating it when missing. The addition is told how the file
// ends as it is once this process holds its lock, and is flushed to the disk before this
// returns; on failure the file is cut back to its old length.
WriteResult append_to_file(const std::filesystem::path& file, const Addition& addition);

}  // namespace vkd::files
