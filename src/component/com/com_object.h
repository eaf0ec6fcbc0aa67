#pragma once
// What every object of the DLL shares: its reference count, which ends its life, and its
// share in the count that keeps the DLL loaded.
#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "component/com/module.h"

namespace vkd::com {

template <class... Interfaces>
class ComObject : public Interfaces... {
 public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  // One answer for all the interfaces the object implements.
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID interface_id, void** object) noexcept override = 0;
  ULONG STDMETHODCALLTYPE AddRef() noexcept override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() noexcept override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  ComObject() noexcept { object_created(); }
  virtual ~ComObject() { object_destroyed(); }

  // Hands a new object out as the interface asked for; the object goes away again when
  // it lacks that interface.
  static HRESULT hand_out(ComObject* created, REFIID interface_id, void** object) noexcept {
    const HRESULT answer = created->QueryInterface(interface_id, object);
    created->Release();
    return answer;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace vkd::com
