#include "component/com/module.h"

#include <atomic>

namespace vkd::com {

namespace {
HMODULE this_module = nullptr;
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};
}  // namespace

void set_module_handle(HMODULE module) noexcept { this_module = module; }

std::wstring module_path() {
  // A path longer than MAX_PATH is possible; GetModuleFileNameW cuts it silently and
  // says so only by filling the whole buffer.
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(this_module, path.data(), static_cast<DWORD>(path.size()));
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void object_created() noexcept { ++live_objects; }
void object_destroyed() noexcept { --live_objects; }
void lock_server(bool lock) noexcept {
  if (lock) {
    ++server_locks;
  } else {
    --server_locks;
  }
}
bool can_unload() noexcept { return live_objects == 0 && server_locks == 0; }

}  // namespace vkd::com
