#pragma once
// Reading the parameters the host lists in cur_clicker_params, two-character fields with
// no separators: the count, then the numbers ("03010512" reads 1, 5 and 12). Each
// parameter is its own exchange with the scanner (a pause and a whole bracket).
#include "automation/host.h"
#include "automation/text.h"
#include "csp2a/library.h"
#include "state/clicker_state.h"

namespace vkd {

// The count field, each number read with its value ("0103" for parameter 1 holding 3),
// ":", then the status text. A count or number that is not a number is error 13; the
// values read before it are lost.
Text show_parameters(const ClickerState& state, Library& library, Host& host);

}  // namespace vkd
