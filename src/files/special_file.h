#pragma once
// A device or a pipe, which no rename can replace and no lock guards: written as it is.
#include <filesystem>
#include <system_error>

#include "files/sink.h"

namespace vkd::files {

// Writes the content into `file`, flushed where it has a disk to flush to. Opening a FIFO
// waits for its reader, as any program writing to it does.
std::error_code write_into_special_file(const std::filesystem::path& file, const Content& content);

}  // namespace vkd::files
