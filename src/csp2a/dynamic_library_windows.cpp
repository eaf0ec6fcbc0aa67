#include <windows.h>

#include <string>

#include "csp2a/dynamic_library.h"
#include "csp2a/module_path.h"

// Older mingw headers declare the safe search flags only for newer Windows targets.
#ifndef LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR
#define LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR 0x00000100
#endif
#ifndef LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#endif

namespace vkd::dynamic_library {

namespace {

// Any address inside this module tells Windows which module we are.
const char module_anchor = 0;

std::filesystem::path own_module_folder() {
  HMODULE self = nullptr;
  if (!GetModuleHandleExW(
          GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
          reinterpret_cast<LPCWSTR>(&module_anchor), &self)) {
    return {};
  }
  const std::wstring name = module_file_path(self);
  if (name.empty()) return {};
  return std::filesystem::path(name).parent_path();
}

Module load_by_path(const std::filesystem::path& path) {
  // The library's own dependencies come from its folder or the system's safe search, never
  // from the current directory or PATH.
  return LoadLibraryExW(std::filesystem::absolute(path).c_str(), nullptr,
                        LOAD_LIBRARY_SEARCH_DLL_LOAD_DIR | LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

Module load_by_name(const std::filesystem::path& name) {
  return LoadLibraryExW(name.c_str(), nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
}

}  // namespace

Module open_installed() {
  const std::filesystem::path folder = own_module_folder();
  if (!folder.empty()) {
    if (Module module = load_by_path(folder / L"csp2a.DLL")) return module;
  }
  return load_by_name(L"csp2a.DLL");
}

Module open(const std::filesystem::path& name_or_path) {
  return name_or_path.has_parent_path() ? load_by_path(name_or_path) : load_by_name(name_or_path);
}

void* entry_point(Module module, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void close(Module module) { FreeLibrary(static_cast<HMODULE>(module)); }

}  // namespace vkd::dynamic_library
