#pragma once
// A VARIANT held for a moment; cleared however the code that holds it ends.
#include <windows.h>
#include <oleauto.h>

namespace vkd::com {

struct OwnedVariant {
  VARIANT value;
  OwnedVariant() { VariantInit(&value); }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  ~OwnedVariant() { VariantClear(&value); }
};

}  // namespace vkd::com
