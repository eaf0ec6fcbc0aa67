#pragma once
// The binding of a scanner library that lives in a shared library. Nothing happens at
// construction: the module is loaded on the first call, and each function is bound on
// its own first call, so a library that lacks a function the component never calls
// still serves the others. Instances may be used from several threads at once: loading
// is serialised, and binding is idempotent, so racing threads at worst look a function
// up twice and store the same address.
#include <array>
#include <atomic>
#include <cstddef>
#include <filesystem>
#include <mutex>
#include <optional>

#include "csp2a/dynamic_library.h"
#include "csp2a/library.h"

namespace vkd {

class LoadedLibrary final : public Library {
 public:
  // The vendor's library, looked for where installed_library() looks for it.
  LoadedLibrary() = default;
  // A library given by file name or by path.
  explicit LoadedLibrary(std::filesystem::path name_or_path);
  ~LoadedLibrary() override;
  LoadedLibrary(const LoadedLibrary&) = delete;
  LoadedLibrary& operator=(const LoadedLibrary&) = delete;

#define VKD_LOADED_LIBRARY_OVERRIDE(name, params, args) std::int32_t name params override;
  CSP2A_FUNCTIONS(VKD_LOADED_LIBRARY_OVERRIDE)
#undef VKD_LOADED_LIBRARY_OVERRIDE

 private:
  enum class Function : std::size_t {
#define VKD_LOADED_LIBRARY_FUNCTION(name, params, args) name,
    CSP2A_FUNCTIONS(VKD_LOADED_LIBRARY_FUNCTION)
#undef VKD_LOADED_LIBRARY_FUNCTION
        count
  };

  // Loads the module if it is not loaded yet; a library that cannot be loaded is
  // error 53, and the next call tries again.
  dynamic_library::Module module();
  // The function's address, bound on first use; a missing one is error 453.
  void* entry(Function function, const char* name);

  std::optional<std::filesystem::path> name_or_path_;
  std::mutex loading_;
  std::atomic<dynamic_library::Module> module_{nullptr};
  std::array<std::atomic<void*>, static_cast<std::size_t>(Function::count)> entries_{};
};

}  // namespace vkd
