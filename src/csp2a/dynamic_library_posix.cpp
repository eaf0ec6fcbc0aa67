#include <dlfcn.h>

#include <system_error>

#include "csp2a/dynamic_library.h"

namespace vkd::dynamic_library {

namespace {

constexpr int load_mode = RTLD_NOW | RTLD_LOCAL;

Module load_by_name(const std::filesystem::path& name) {
  if (Module module = dlopen(name.c_str(), load_mode)) return module;
  // The program's own folder, which its RUNPATH ($ORIGIN) names: a dlopen reached through
  // an interposer (a sanitizer's) searches the interposer's paths instead of the program's.
  std::error_code error;
  const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return nullptr;
  return dlopen((program.parent_path() / name).c_str(), load_mode);
}

}  // namespace

Module open_installed() { return load_by_name("libcsp2a.so"); }

Module open(const std::filesystem::path& name_or_path) {
  return name_or_path.has_parent_path() ? dlopen(name_or_path.c_str(), load_mode)
                                        : load_by_name(name_or_path);
}

void* entry_point(Module module, const char* name) { return dlsym(module, name); }

void close(Module module) { dlclose(module); }

}  // namespace vkd::dynamic_library
