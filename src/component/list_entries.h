#pragma once
// Entry k of a record list, read as the platform reads an array element: a list that was
// never allocated, or an index outside its bounds (0 to its upper bound, a negative index
// included), is the subscript-out-of-range error (9). The exports and the record
// accessors all read the lists through this one rule.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "automation/error.h"

namespace vkd {

// Raised apart from the check, so that the check itself is small enough to be inlined
// into an export's loop over every record.
[[noreturn]] inline void throw_subscript_out_of_range() { throw Error::subscript_out_of_range(); }

// The entries of one list, read one at a time under that rule. Whether the list exists
// and where it ends are taken once, for an export that reads every entry of three lists.
template <typename Entry>
class ListEntries {
 public:
  explicit ListEntries(const std::optional<std::vector<Entry>>& list)
      : entries_(list ? std::span<const Entry>(*list) : std::span<const Entry>()) {}

  const Entry& operator[](std::int64_t index) const {
    if (index < 0 || static_cast<std::uint64_t>(index) >= entries_.size()) throw_subscript_out_of_range();
    return entries_[static_cast<std::size_t>(index)];
  }

 private:
  std::span<const Entry> entries_;
};

}  // namespace vkd
