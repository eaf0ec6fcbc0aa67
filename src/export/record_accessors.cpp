#include "export/record_accessors.h"

#include "state/list_entry.h"

namespace vkd {

Text selected_barcode_text(const ClickerState& state) {
  return list_entry(state.barcode_texts, state.get_barcode);
}

Date selected_barcode_time(const ClickerState& state) {
  return list_entry(state.barcode_times, state.get_barcode);
}

Variant selected_barcode_type(const ClickerState& state) {
  return list_entry(state.barcode_types, state.get_barcode);
}

}  // namespace vkd
