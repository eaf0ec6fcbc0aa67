#pragma once
// Property lets by name, as scripts make them. A script hands a variable or an array
// element over by reference (VT_VARIANT | VT_BYREF) and may give a number where the let
// takes a text; the type description's own Invoke converts neither to the BSTR* or the
// short of the method table. So a late-bound let is checked and converted here first,
// then handed to that Invoke in a form it takes, which calls the method table and reports
// the let's own errors as for every other member.
#include <windows.h>
#include <oaidl.h>

namespace vkd::com {

enum class LetParameter { none, short_integer, text, variant };

// What a let takes, as its function's description declares it; none for a function that
// takes no value of these.
LetParameter let_parameter(const FUNCDESC& function) noexcept;

// A property put carries exactly one argument, named DISPID_PROPERTYPUT:
// DISP_E_BADPARAMCOUNT or DISP_E_PARAMNOTFOUND otherwise.
HRESULT check_put_arguments(const DISPPARAMS& arguments) noexcept;

// The value in the form the let takes: VT_I2 by the platform's integer rules (13 when it
// is not a number, 6 when it does not fit), VT_BSTR by the platform's text conversion
// (13 for Null, arrays and objects without a default value), a variant read through its
// reference. Throws vkd::Error or std::bad_alloc.
void convert_for_let(LetParameter parameter, const VARIANT& given, VARIANT& converted);

// DISP_E_EXCEPTION, with the EXCEPINFO taken from the thread's error object, as the type
// description's Invoke reports a member that failed with `failure`.
HRESULT exception_from_error_object(HRESULT failure, EXCEPINFO* exception) noexcept;

}  // namespace vkd::com
