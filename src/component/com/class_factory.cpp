#include "component/com/class_factory.h"

#include <new>

#include "component/com/clicker_object.h"
#include "component/com/module.h"

namespace vkd::com {

HRESULT ClassFactory::create(REFIID interface_id, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  auto* created = new (std::nothrow) ClassFactory();
  if (created == nullptr) return E_OUTOFMEMORY;
  return hand_out(created, interface_id, object);
}

HRESULT ClassFactory::QueryInterface(REFIID interface_id, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  if (interface_id != IID_IUnknown && interface_id != IID_IClassFactory) {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  *object = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID interface_id, void** object) noexcept {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return ClickerObject::create(interface_id, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) noexcept {
  lock_server(lock != FALSE);
  return S_OK;
}

}  // namespace vkd::com
