#include "component/com/late_bound_let.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "automation/error.h"
#include "automation/variant.h"
#include "component/com/conversions.h"

namespace vkd::com {

LetParameter let_parameter(const FUNCDESC& function) noexcept {
  if (function.cParams != 1) return LetParameter::none;
  const TYPEDESC& type = function.lprgelemdescParam[0].tdesc;
  if (type.vt == VT_I2) return LetParameter::short_integer;
  if (type.vt != VT_PTR) return LetParameter::none;
  if (type.lptdesc->vt == VT_BSTR) return LetParameter::text;
  if (type.lptdesc->vt == VT_VARIANT) return LetParameter::variant;
  return LetParameter::none;
}

HRESULT check_put_arguments(const DISPPARAMS& arguments) noexcept {
  if (arguments.cArgs != 1 || arguments.rgvarg == nullptr) return DISP_E_BADPARAMCOUNT;
  if (arguments.cNamedArgs != 1 || arguments.rgdispidNamedArgs == nullptr ||
      arguments.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT) {
    return DISP_E_PARAMNOTFOUND;
  }
  return S_OK;
}

void convert_for_let(LetParameter parameter, const VARIANT& given, VARIANT& converted) {
  switch (parameter) {
    case LetParameter::short_integer:
      V_I2(&converted) = to_int16(core_variant(given));
      V_VT(&converted) = VT_I2;
      return;
    case LetParameter::text:
      V_BSTR(&converted) = bstr_from_text(platform_text(given));
      V_VT(&converted) = VT_BSTR;
      return;
    case LetParameter::variant:
      copy_by_value(given, converted);
      return;
    case LetParameter::none:
      break;
  }
  throw Error::type_mismatch();
}

HRESULT exception_from_error_object(HRESULT failure, EXCEPINFO* exception) noexcept {
  if (exception == nullptr) return DISP_E_EXCEPTION;
  *exception = EXCEPINFO{};
  exception->scode = failure;
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, &info) == S_OK) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
    info->GetHelpFile(&exception->bstrHelpFile);
    info->GetHelpContext(&exception->dwHelpContext);
  }
  return DISP_E_EXCEPTION;
}

}  // namespace vkd::com
