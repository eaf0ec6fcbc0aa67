#pragma once
// A VARIANT held for a moment; cleared however the code that holds it ends.
#include <windows.h>
#include <oleauto.h>

namespace vkd::com {

struct OwnedVariant {
  VARIANT value;
  OwnedVariant() { VariantInit(&value); }
  // Of the given type, its value still to be filled in.
  explicit OwnedVariant(VARTYPE type) : OwnedVariant() { V_VT(&value) = type; }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  ~OwnedVariant() { VariantClear(&value); }
};

}  // namespace vkd::com
