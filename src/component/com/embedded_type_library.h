#pragma once
// The type library embedded in VKDClickrc.dll as resource TYPELIB 1, read from the DLL's
// own file: late binding works whether or not the library is registered.
#include <windows.h>
#include <oaidl.h>

namespace vkd::com {

HRESULT load_embedded_type_library(ITypeLib** library) noexcept;
// The description of the interface _Clicker, which ITypeInfo::Invoke uses to call it.
HRESULT load_clicker_type_info(ITypeInfo** info) noexcept;

}  // namespace vkd::com
