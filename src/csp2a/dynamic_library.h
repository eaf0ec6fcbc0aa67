#pragma once
// Loading a shared library at run time, the platform's way. Modules are handed out as
// opaque handles; a null handle means the library could not be loaded.
#include <filesystem>

namespace vkd::dynamic_library {

using Module = void*;

// The scanner vendor's library where the component expects it. On Windows: csp2a.DLL in
// the folder of the module that holds the component, by full path, then the system's
// safe search (application folder, System32, added folders), never the current
// directory or PATH, where a planted DLL could be picked up. Elsewhere libcsp2a.so,
// found through the program's RUNPATH, that is in the program's own folder.
Module open_installed();

// A library given by file name (found by the same search) or by path.
Module open(const std::filesystem::path& name_or_path);

// The address of an exported function, or null when the module has none by that name.
void* entry_point(Module module, const char* name);

void close(Module module);

}  // namespace vkd::dynamic_library
