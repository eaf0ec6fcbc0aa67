#include "component/com/conversions.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <new>
#include <type_traits>
#include <utility>

#include "automation/error.h"
#include "component/com/owned_variant.h"

namespace vkd::com {

namespace {

template <class Integer>
Variant whole_number(Integer number) {
  if (std::in_range<std::int32_t>(number)) return Variant(static_cast<std::int32_t>(number));
  return Variant(static_cast<double>(number));
}

// A single is the number its shortest text names (1.1, not 1.10000002384186), which is
// how the platform converts it to text and to other numbers.
double single_as_written(float number) {
  char digits[32];
  const auto written = std::to_chars(std::begin(digits), std::end(digits), number);
  double result = 0.0;
  std::from_chars(std::begin(digits), written.ptr, result);
  return result;
}

double currency_number(CY currency) {
  double result = 0.0;
  VarR8FromCy(currency, &result);  // every currency value is a double
  return result;
}

double decimal_number(DECIMAL decimal) {
  double result = 0.0;
  VarR8FromDec(&decimal, &result);  // every decimal value is a double
  return result;
}

// The value a let was given, as a plain value: read through references, and an object
// replaced by the value of its default property (DISPID_VALUE), as the platform reads an
// object where it wants a value. An object that has no default value, or whose default
// value is again an object, stays an object: no conversion takes it.
void plain_value(const VARIANT& given, OwnedVariant& plain) {
  copy_by_value(given, plain.value);
  if (V_VT(&plain.value) != VT_DISPATCH || V_DISPATCH(&plain.value) == nullptr) return;
  DISPPARAMS no_arguments{};
  OwnedVariant result;
  const HRESULT outcome = V_DISPATCH(&plain.value)->Invoke(
      DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &no_arguments,
      &result.value, nullptr, nullptr);
  if (FAILED(outcome)) return;
  VariantClear(&plain.value);
  copy_by_value(result.value, plain.value);
}

bool has_text_form(VARTYPE type) {
  switch (type) {
    case VT_EMPTY: case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
    case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: case VT_DATE: case VT_BOOL: case VT_BSTR:
      return true;
    default:
      return false;  // Null, objects, arrays, VT_ERROR, VT_UNKNOWN, records
  }
}

}  // namespace

void copy_by_value(const VARIANT& given, VARIANT& copy) {
  // The source is only read; mingw's declaration lacks the const.
  const HRESULT outcome = VariantCopyInd(&copy, const_cast<VARIANT*>(&given));
  if (outcome == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(outcome)) throw Error::type_mismatch();
}

Variant core_variant(const VARIANT& given) {
  OwnedVariant plain;
  plain_value(given, plain);
  const VARIANT& value = plain.value;
  switch (V_VT(&value)) {
    case VT_EMPTY: return Variant(EmptyValue{});
    case VT_NULL: return Variant(NullValue{});
    case VT_I2: return Variant(V_I2(&value));
    case VT_I4: return Variant(static_cast<std::int32_t>(V_I4(&value)));
    case VT_INT: return Variant(static_cast<std::int32_t>(V_INT(&value)));
    case VT_I1: return Variant(static_cast<std::int16_t>(V_I1(&value)));
    case VT_UI1: return Variant(static_cast<std::int16_t>(V_UI1(&value)));
    case VT_UI2: return whole_number(V_UI2(&value));
    case VT_UI4: return whole_number(V_UI4(&value));
    case VT_UINT: return whole_number(V_UINT(&value));
    case VT_I8: return whole_number(V_I8(&value));
    case VT_UI8: return whole_number(V_UI8(&value));
    case VT_R4: return Variant(single_as_written(V_R4(&value)));
    case VT_R8: return Variant(V_R8(&value));
    case VT_CY: return Variant(currency_number(V_CY(&value)));
    case VT_DECIMAL: return Variant(decimal_number(V_DECIMAL(&value)));
    case VT_DATE: return Variant(Date{V_DATE(&value)});
    case VT_BOOL: return Variant(V_BOOL(&value) != VARIANT_FALSE);
    case VT_BSTR: return Variant(text_from_bstr(V_BSTR(&value)));
    default: return Variant(ObjectValue{});  // objects, arrays, VT_UNKNOWN, VT_ERROR, records
  }
}

Text platform_text(const VARIANT& given) {
  OwnedVariant plain;
  plain_value(given, plain);
  if (!has_text_form(V_VT(&plain.value))) throw Error::type_mismatch();
  OwnedVariant text;
  // VARIANT_ALPHABOOL: True is "True", as a script's CStr writes it, not "-1".
  const HRESULT outcome = VariantChangeTypeEx(&text.value, &plain.value, LOCALE_USER_DEFAULT,
                                              VARIANT_ALPHABOOL, VT_BSTR);
  if (outcome == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(outcome)) throw Error::type_mismatch();
  return text_from_bstr(V_BSTR(&text.value));
}

Text text_from_bstr(BSTR text) {
  if (text == nullptr) return Text();
  return Text(text, text + SysStringLen(text));
}

BSTR bstr_from_text(const Text& text) {
  BSTR result = SysAllocStringLen(nullptr, static_cast<UINT>(text.size()));
  if (result == nullptr) throw std::bad_alloc();
  std::copy(text.begin(), text.end(), result);
  return result;
}

VARIANT variant_from_text(const Text& text) {
  VARIANT result;
  VariantInit(&result);
  V_BSTR(&result) = bstr_from_text(text);
  V_VT(&result) = VT_BSTR;
  return result;
}

VARIANT variant_from_date(Date date) {
  VARIANT result;
  VariantInit(&result);
  V_VT(&result) = VT_DATE;
  V_DATE(&result) = date.value;
  return result;
}

VARIANT variant_from_core(const Variant& value) {
  VARIANT result;
  VariantInit(&result);
  std::visit(
      [&result](const auto& held) {
        using Kind = std::decay_t<decltype(held)>;
        if constexpr (std::is_same_v<Kind, EmptyValue>) {
          V_VT(&result) = VT_EMPTY;
        } else if constexpr (std::is_same_v<Kind, NullValue>) {
          V_VT(&result) = VT_NULL;
        } else if constexpr (std::is_same_v<Kind, std::int16_t>) {
          V_VT(&result) = VT_I2;
          V_I2(&result) = held;
        } else if constexpr (std::is_same_v<Kind, std::int32_t>) {
          V_VT(&result) = VT_I4;
          V_I4(&result) = held;
        } else if constexpr (std::is_same_v<Kind, double>) {
          V_VT(&result) = VT_R8;
          V_R8(&result) = held;
        } else if constexpr (std::is_same_v<Kind, Date>) {
          result = variant_from_date(held);
        } else if constexpr (std::is_same_v<Kind, bool>) {
          V_VT(&result) = VT_BOOL;
          V_BOOL(&result) = held ? VARIANT_TRUE : VARIANT_FALSE;
        } else if constexpr (std::is_same_v<Kind, Text>) {
          result = variant_from_text(held);
        } else {
          static_assert(std::is_same_v<Kind, ObjectValue>);
          throw Error::type_mismatch();  // a value with no form a client could hold
        }
      },
      value.value());
  return result;
}

}  // namespace vkd::com
