#pragma once
// Entry k of a record list, read as the platform reads an array element: a list that was
// never allocated, or an index outside its bounds (0 to its upper bound, a negative index
// included), is the subscript-out-of-range error (9). The exports and the record
// accessors all read the lists through this one rule.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "automation/error.h"

namespace vkd {

// Raised apart from the check, so that the check itself is small enough to be inlined
// into an export's loop over every record.
[[noreturn]] inline void throw_subscript_out_of_range() { throw Error::subscript_out_of_range(); }

template <typename Entry>
const Entry& list_entry(const std::optional<std::vector<Entry>>& list, std::int64_t index) {
  if (!list || index < 0 || static_cast<std::uint64_t>(index) >= list->size()) {
    throw_subscript_out_of_range();
  }
  return (*list)[static_cast<std::size_t>(index)];
}

}  // namespace vkd
