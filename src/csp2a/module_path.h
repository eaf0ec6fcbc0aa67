#pragma once
// The file a loaded module came from, on Windows.
#include <windows.h>

#include <string>

namespace vkd {

// The full path of `module` (null: the program). A path longer than MAX_PATH is possible,
// and GetModuleFileNameW cuts one silently, saying so only by filling the whole buffer:
// the buffer grows until the path fits. Empty when the system cannot tell; throws
// std::bad_alloc only.
std::wstring module_file_path(HMODULE module);

}  // namespace vkd
