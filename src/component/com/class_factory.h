#pragma once
// The class object of Clicker, which DllGetClassObject hands out.
#include <windows.h>
#include <unknwn.h>

#include "component/com/com_object.h"

namespace vkd::com {

class ClassFactory final : public ComObject<IClassFactory> {
 public:
  static HRESULT create(REFIID interface_id, void** object) noexcept;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interface_id, void** object) noexcept override;
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID interface_id,
                                           void** object) noexcept override;
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) noexcept override;

 private:
  ClassFactory() = default;
};

}  // namespace vkd::com
