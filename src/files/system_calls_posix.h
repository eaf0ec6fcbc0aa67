#pragma once
// The POSIX calls this layer makes in more than one place, with their errors as values.
#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string_view>
#include <system_error>

namespace vkd::files {

// What errno says about the call that just failed.
std::error_code last_error();

// Writes every byte, going on after an interruption.
std::error_code write_all(int fd, std::string_view bytes);

// Flushes the folder, so that a file created or renamed in it keeps its name after a
// crash. A file system that cannot flush a folder makes the name as safe as it can, and
// that counts as done.
std::error_code flush_folder(const std::filesystem::path& folder);

bool same_file(const struct stat& first, const struct stat& second);

// Opens `path` with `flags` and waits for its lock (flock). Another process may have
// replaced the file meanwhile, leaving the lock on a file the path no longer names: the
// lock counts only once the path still names the locked file, and is taken again on the
// new one otherwise. The descriptor, or -1 with `error` set.
int open_locked(const char* path, int flags, mode_t mode, std::error_code& error);

}  // namespace vkd::files
