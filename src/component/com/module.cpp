#include "component/com/module.h"

#include <atomic>

#include "csp2a/module_path.h"

namespace vkd::com {

namespace {
HMODULE this_module = nullptr;
std::atomic<long> live_objects{0};
std::atomic<long> server_locks{0};
}  // namespace

void set_module_handle(HMODULE module) noexcept { this_module = module; }

std::wstring module_path() { return module_file_path(this_module); }

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
