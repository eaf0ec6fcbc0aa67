#include "component/com/com_boundary.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>

#include "VKDClicker.h"          // generated from VKDClicker.idl
#include "component_identity.h"  // generated from cmake/identity.cmake

namespace vkd::com {

namespace {

// ICreateErrorInfo takes NUL-terminated texts; a description is never long, and a NUL
// inside one would only shorten what the client reads.
std::wstring terminated(const Text& text) { return std::wstring(text.begin(), text.end()); }

}  // namespace

HRESULT report(const Error& error) noexcept {
  const HRESULT result = error.hresult();
  try {
    Microsoft::WRL::ComPtr<ICreateErrorInfo> creator;
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    std::wstring description = terminated(error.description());
    std::wstring source = prog_id;
    if (FAILED(CreateErrorInfo(&creator)) || FAILED(creator.As(&info))) return report(result);
    creator->SetGUID(IID__Clicker);
    creator->SetSource(source.data());
    creator->SetDescription(description.data());
    SetErrorInfo(0, info.Get());
  } catch (const std::bad_alloc&) {
    SetErrorInfo(0, nullptr);  // the number alone still reaches the client
  }
  return result;
}

HRESULT report(HRESULT result) noexcept {
  SetErrorInfo(0, nullptr);
  return result;
}

}  // namespace vkd::com
