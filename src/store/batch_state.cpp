#include "store/batch_state.h"

#include <array>
#include <utility>

namespace vkd::store {

namespace {

constexpr std::array<std::pair<BatchState, std::string_view>, 4> names{{
    {BatchState::stored, "stored"},
    {BatchState::emptied, "emptied"},
    {BatchState::not_emptied, "not emptied"},
    {BatchState::changed, "changed"},
}};

}  // namespace

std::string_view state_name(BatchState state) {
  for (const auto& [named, name] : names) {
    if (named == state) return name;
  }
  return "unknown";
}

std::optional<BatchState> state_named(std::string_view name) {
  for (const auto& [state, named] : names) {
    if (named == name) return state;
  }
  return std::nullopt;
}

}  // namespace vkd::store
