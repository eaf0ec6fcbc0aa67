#include "component/com/embedded_type_library.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/com/module.h"

namespace vkd::com {

HRESULT load_embedded_type_library(ITypeLib** library) noexcept {
  try {
    const std::wstring path = module_path();
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT load_clicker_type_info(ITypeInfo** info) noexcept {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT outcome = load_embedded_type_library(&library);
  if (FAILED(outcome)) return outcome;
  return library->GetTypeInfoOfGuid(IID__Clicker, info);
}

}  // namespace vkd::com
