#pragma once
// A VARIANT the checks hold for a moment, made empty or of a type whose value they then
// fill in.
#include "component/com/owned_variant.h"

namespace vkd::testing {

struct Value : com::OwnedVariant {
  Value() = default;
  explicit Value(VARTYPE type) { V_VT(&value) = type; }
};

}  // namespace vkd::testing
