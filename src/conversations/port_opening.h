#pragma once
// What the port search and the emptying do alike when they open a port.
#include <cstdint>

#include "automation/text.h"
#include "state/clicker_state.h"
#include "csp2a/library.h"

namespace vkd {

// The log entry of an opening: ":" + the port under "00" + the time csp2Init came back
// under "HHMMSS" + "*" + its result.
Text open_entry(std::int32_t port, std::int32_t seconds_of_day, std::int32_t result);

// The scanner's count goes straight into the 16-bit num_barcodes: a count beyond it is
// the overflow error (6).
void read_count(ClickerState& state, Library& library);

}  // namespace vkd
