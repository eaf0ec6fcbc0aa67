#pragma once
// A VARIANT that clears itself.
#include <windows.h>
#include <oleauto.h>

namespace vkd::testing {

struct OwnedVariant {
  VARIANT v;
  OwnedVariant() { VariantInit(&v); }
  explicit OwnedVariant(VARTYPE type) : OwnedVariant() { V_VT(&v) = type; }
  OwnedVariant(const OwnedVariant&) = delete;
  OwnedVariant& operator=(const OwnedVariant&) = delete;
  ~OwnedVariant() { VariantClear(&v); }
};

}  // namespace vkd::testing
