#pragma once
// Automation values at the COM boundary and the core's values: BSTR and VARIANT in, Text
// and Variant out, and back.
#include <windows.h>
#include <oleauto.h>

#include "automation/date.h"
#include "automation/text.h"
#include "automation/variant.h"

namespace vkd::com {

// A null BSTR is the empty text; the length comes from SysStringLen, so NUL characters
// inside the text survive.
Text text_from_bstr(BSTR text);
// Throws std::bad_alloc when the system has no memory for it.
BSTR bstr_from_text(const Text& text);

// The value read through its reference, if it has one, into `copy` (empty or cleared
// before). Throws std::bad_alloc when the system has no memory for it, 13 for a value the
// platform cannot copy.
void copy_by_value(const VARIANT& given, VARIANT& copy);

// The value a property let was given, copied into the core's subtypes by the platform's
// rules: a by-reference variant is read through, the other integer subtypes become 16-
// or 32-bit integers where they fit and doubles where they do not, single, currency and
// decimal numbers become doubles, an object stands for the value of its default
// property; arrays and anything else without a text or number form become ObjectValue,
// which every conversion of the core rejects with 13.
Variant core_variant(const VARIANT& given);
// The text a let stores for the value it was given, converted as a script's CStr
// converts it: the platform's own conversion under the user's locale (currency, decimal,
// 64-bit and single numbers with all their digits, dates in the locale's form), True and
// False as words, an object as the text of its default value. Null, arrays and objects
// without a default value fail with 13.
Text platform_text(const VARIANT& given);

// Results, as new VARIANTs that the caller owns.
VARIANT variant_from_text(const Text& text);
VARIANT variant_from_date(Date date);
VARIANT variant_from_core(const Variant& value);

}  // namespace vkd::com
