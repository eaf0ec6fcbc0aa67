#pragma once
// A batch state from its name as the tables hold it (state_name, store.h).
#include <optional>
#include <string_view>

#include "store/store.h"

namespace vkd::store {

std::optional<BatchState> state_named(std::string_view name);

}  // namespace vkd::store
