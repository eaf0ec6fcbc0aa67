#pragma once
// What the C++ clients of the tests share: a new object of the registered class, and the
// HRESULTs of the errors they expect.
#include <windows.h>
#include <wrl/client.h>

#include "VKDClicker.h"  // generated from VKDClicker.idl

namespace vkd::testing {

constexpr HRESULT error_subscript = static_cast<HRESULT>(0x800A0009);
constexpr HRESULT error_type_mismatch = static_cast<HRESULT>(0x800A000D);

// Null when the class cannot be created.
inline Microsoft::WRL::ComPtr<_Clicker> new_clicker() {
  Microsoft::WRL::ComPtr<_Clicker> clicker;
  CoCreateInstance(CLSID_Clicker, nullptr, CLSCTX_INPROC_SERVER, IID__Clicker,
                   reinterpret_cast<void**>(clicker.GetAddressOf()));
  return clicker;
}

}  // namespace vkd::testing
