#pragma once
// The errors of this layer's own that the system has no number for.
#include <system_error>

namespace vkd::files {

// A file that is to be replaced whole is a device, a pipe or a folder: replacing it would
// take its place in the folder away, and writing into it may wait for ever (a FIFO).
std::error_code not_a_regular_file();

}  // namespace vkd::files
