#include "component/com/embedded_type_library.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/com/com_boundary.h"
#include "component/com/module.h"

namespace vkd::com {

HRESULT load_embedded_type_library(ITypeLib** library) noexcept {
  return boundary([&] { return LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library); });
}

HRESULT load_clicker_type_info(ITypeInfo** info) noexcept {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT outcome = load_embedded_type_library(&library);
  if (FAILED(outcome)) return outcome;
  return library->GetTypeInfoOfGuid(IID__Clicker, info);
}

}  // namespace vkd::com
