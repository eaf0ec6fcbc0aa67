#pragma once
// A late-bound object as a script host hands one over: its default property (DISPID_VALUE)
// answers with a fixed value, or the object has none. It lives on the caller's stack.
#include <windows.h>
#include <oleauto.h>

namespace vkd::testing {

class DefaultValueObject final : public IDispatch {
 public:
  // VT_ERROR stands for an object without a default property.
  // Takes its own copy; the caller keeps what it passed.
  explicit DefaultValueObject(VARIANT value) { VariantCopy(&value_, &value); }
  DefaultValueObject(const DefaultValueObject&) = delete;
  DefaultValueObject& operator=(const DefaultValueObject&) = delete;
  ~DefaultValueObject() { VariantClear(&value_); }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
    *object = (id == IID_IUnknown || id == IID_IDispatch) ? this : nullptr;
    return *object ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                   EXCEPINFO*, UINT*) override {
    if (member != DISPID_VALUE || V_VT(&value_) == VT_ERROR) return DISP_E_MEMBERNOTFOUND;
    if (result == nullptr) return S_OK;
    VariantInit(result);
    return VariantCopy(result, &value_);
  }

 private:
  VARIANT value_{};
};

}  // namespace vkd::testing
