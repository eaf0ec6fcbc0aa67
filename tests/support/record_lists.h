#pragma once
// The record lists of an object as a host walks them: get_barcode from 0, reading each
// entry until error 9 ends the list (any other error goes on to the caller). Empty when
// the lists were never allocated.
#include <cstdint>
#include <limits>
#include <vector>

#include "automation/error.h"
#include "component/clicker.h"

namespace vkd::testing {

template <class Read>
auto list_entries(Clicker& clicker, Read read) -> std::vector<decltype(read(clicker))> {
  const std::int16_t selected = clicker.get_barcode();
  std::vector<decltype(read(clicker))> found;
  for (std::int32_t index = 0; index <= std::numeric_limits<std::int16_t>::max(); ++index) {
    clicker.let_get_barcode(static_cast<std::int16_t>(index));
    try {
      found.push_back(read(clicker));
    } catch (const Error& error) {
      if (error.code() != ErrorNumber::subscript_out_of_range) throw;
      break;
    }
  }
  clicker.let_get_barcode(selected);
  return found;
}

inline std::vector<Text> barcode_texts(Clicker& clicker) {
  return list_entries(clicker, [](Clicker& c) { return c.sbarcode(); });
}
inline std::vector<Variant> barcode_types(Clicker& clicker) {
  return list_entries(clicker, [](Clicker& c) { return c.stype(); });
}
inline std::vector<Date> barcode_times(Clicker& clicker) {
  return list_entries(clicker, [](Clicker& c) { return c.stime(); });
}

}  // namespace vkd::testing
