#pragma once
// How a write of a file ended.
#include <system_error>

namespace vkd::files {

struct WriteResult {
  // Set: nothing was written; a replaced file keeps its old content, an addition is
  // taken back.
  std::error_code error;
  // Set: the file is written whole, but its folder could not be flushed (a folder that
  // may be written and not read, a file system that refuses), so a crash of the machine
  // may still lose the new name. The content itself is on the disk.
  std::error_code folder_not_flushed;
};

}  // namespace vkd::files
