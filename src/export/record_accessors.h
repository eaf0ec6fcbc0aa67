#pragma once
// The record that get_barcode selects, one list at a time (sbarcode, stime, stype). They
// read only the fields: error 9 when the list was never allocated or the index lies
// outside it, a negative index included.
#include "automation/date.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "state/clicker_state.h"

namespace vkd {

Text selected_barcode_text(const ClickerState& state);
Date selected_barcode_time(const ClickerState& state);
// A filled entry holds the code type as a 16-bit integer; an unfilled one is Empty.
Variant selected_barcode_type(const ClickerState& state);

}  // namespace vkd
