#pragma once
// The new file that takes another's place: made beside it under a short name of its own
// (".vkd" and 16 hexadecimal digits, ".tmp"), so that it fits wherever the name it
// replaces fits, and held by this process while it is written. A process that ends
// before it is done leaves nothing behind where it can help it, and what it cannot help
// (SIGKILL, a crash) the next replacement in that folder removes, once no process holds
// the file any more:
//
// - POSIX: the file carries an flock while it is written; SIGHUP, SIGINT and SIGTERM
//   remove it, where they would end the process anyway (their handling left as it is
//   where the program set its own), and then end the process as the signal asks.
// - Windows: the file is held open, shared with nothing but its rename, and marked to be
//   deleted when its handle closes, however the process ends, until it is renamed.
#include <cstdint>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "files/sink.h"
#include "files/write_result.h"

namespace vkd::files {

class TemporaryFile {
 public:
  TemporaryFile() = default;
  // Removes the file unless it took the place of another.
  ~TemporaryFile();
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Makes the new, empty file in `folder` (the current folder when empty), after removing
  // the temporary files there that no process holds.
  std::error_code create(const std::filesystem::path& folder);

  // Gives the file the permissions of `replaced` and, on POSIX systems where allowed, its
  // owner. On Windows a new file gets what its folder gives new files, as the old one did.
  std::error_code take_permissions_of(const std::filesystem::path& replaced);
  std::error_code write(std::string_view bytes);
  // Flushes the content to the disk.
  std::error_code flush();
  // Writes the content through a sink, then flushes it.
  std::error_code write_and_flush(const Content& content);
  // Renames it over `target`, a file in the same folder, in one step, and makes the
  // rename reach the disk; from then on it is the target and no temporary file.
  WriteResult rename_over(const std::filesystem::path& target);

 private:
  std::filesystem::path path_;
  std::intptr_t native_ = -1;  // the open file's descriptor, or its Windows handle
};

// Whether `name` is one that TemporaryFile gives its files.
bool is_temporary_name(const std::filesystem::path& name);

// A new name of that form, drawn at random.
std::filesystem::path new_temporary_name();

// Removes the temporary files in `folder` that no process holds, taking each one's lock
// without waiting for it first. Nothing is said of what cannot be removed: the next
// replacement tries again.
void remove_abandoned_temporary_files(const std::filesystem::path& folder);

}  // namespace vkd::files
