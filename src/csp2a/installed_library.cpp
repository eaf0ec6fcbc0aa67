#include "csp2a/installed_library.h"

#include <utility>

#include "automation/error.h"

namespace vkd {

LoadedLibrary::LoadedLibrary(std::filesystem::path name_or_path)
    : name_or_path_(std::move(name_or_path)) {}

LoadedLibrary::~LoadedLibrary() {
  if (dynamic_library::Module loaded = module_.load()) dynamic_library::close(loaded);
}

dynamic_library::Module LoadedLibrary::module() {
  if (dynamic_library::Module loaded = module_.load(std::memory_order_acquire)) return loaded;
  const std::lock_guard lock(loading_);
  if (dynamic_library::Module loaded = module_.load(std::memory_order_relaxed)) return loaded;
  dynamic_library::Module loaded = name_or_path_ ? dynamic_library::open(*name_or_path_)
                                                 : dynamic_library::open_installed();
  if (loaded == nullptr) throw Error::library_not_found();
  module_.store(loaded, std::memory_order_release);
  return loaded;
}

void* LoadedLibrary::entry(Function function, const char* name) {
  std::atomic<void*>& slot = entries_[static_cast<std::size_t>(function)];
  if (void* bound = slot.load(std::memory_order_acquire)) return bound;
  void* found = dynamic_library::entry_point(module(), name);
  if (found == nullptr) throw Error::entry_point_not_found(name);
  slot.store(found, std::memory_order_release);
  return found;
}

#define VKD_LOADED_LIBRARY_FORWARD(name, params, args)                   \
  std::int32_t LoadedLibrary::name params {                              \
    using Fn = std::int32_t(CSP2A_CALL*) params;                         \
    return reinterpret_cast<Fn>(entry(Function::name, #name)) args;      \
  }
CSP2A_FUNCTIONS(VKD_LOADED_LIBRARY_FORWARD)
#undef VKD_LOADED_LIBRARY_FORWARD

Library& installed_library() {
  // Never destroyed: the component may still call into the library while the process
  // shuts down, and unloading a DLL from a static destructor runs under the loader lock.
  static LoadedLibrary* const library = new LoadedLibrary();
  return *library;
}

}  // namespace vkd
