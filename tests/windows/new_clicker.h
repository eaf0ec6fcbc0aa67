#pragma once
// What the C++ clients of the tests share: a new object of the registered class, the
// HRESULTs of the errors they expect, and the release of the texts a failed call reports.
#include <windows.h>
#include <oleauto.h>
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

// Frees the texts of an exception a late-bound call filled in, and empties it for the next.
inline void clear(EXCEPINFO& exception) {
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  exception = EXCEPINFO{};
}

}  // namespace vkd::testing
