#pragma once
// The platform error number an action raises, or nothing when it raises none.
#include <functional>
#include <optional>

#include "automation/error.h"

namespace vkd::testing {

inline std::optional<int> error_number_of(const std::function<void()>& action) {
  try {
    action();
  } catch (const Error& error) {
    return error.number();
  }
  return std::nullopt;
}

}  // namespace vkd::testing
