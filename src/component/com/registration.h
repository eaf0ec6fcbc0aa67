#pragma once
// The registry entries of the component: the class with its in-process server, the
// ProgID VKDClicker.Clicker and the type library, for the whole machine (HKCR) or for the
// current user alone (HKCU\Software\Classes).
#include <windows.h>

namespace vkd::com {

enum class Scope { machine, user };

// Writes every entry; when one cannot be written, takes back what it wrote (and nothing
// that was there before) and returns the failure.
HRESULT register_server(Scope scope) noexcept;
// Removes every entry of the component and nothing else; entries already gone are no
// failure.
HRESULT unregister_server(Scope scope) noexcept;

}  // namespace vkd::com
