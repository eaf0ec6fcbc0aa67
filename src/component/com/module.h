#pragma once
// What the whole DLL shares: its own handle and path, and the counts that tell COM when
// the DLL may be unloaded.
#include <windows.h>

#include <string>

namespace vkd::com {

// Set once by DllMain when the process attaches.
void set_module_handle(HMODULE module) noexcept;
// The full path of VKDClickrc.dll as it was loaded; throws std::bad_alloc only.
std::wstring module_path();

// Every object handed out to a client (class objects included) counts as long as it
// lives; IClassFactory::LockServer adds locks. The DLL may go when both are zero.
void object_created() noexcept;
void object_destroyed() noexcept;
void lock_server(bool lock) noexcept;
bool can_unload() noexcept;

}  // namespace vkd::com
