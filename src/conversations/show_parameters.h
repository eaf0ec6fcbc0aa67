#pragma once
// The host's parameter lists, two-character fields with no separators:
//   newparams           count, then number-value pairs:  0201051203 sets 1 to 5, 12 to 3
//   cur_clicker_params  count, then numbers:              03010512 reads 1, 5 and 12
// Each parameter is its own exchange with the scanner (a pause and a whole bracket).
#include "automation/host.h"
#include "automation/text.h"
#include "component/clicker_state.h"
#include "scanner/library.h"

namespace vkd {

// What reset_params does once the scanner has been emptied: csp2SetDefaults outside any
// bracket, then every entry of newparams written to lastport. `count_text` is the count
// as it stood before the emptying. The count must be a number (else error 13, after the
// defaults were restored); entry fields are read leniently, so a missing entry writes
// parameter 0 with value 0. Each entry is read from newparams as it stands at its turn.
void restore_defaults_and_write(const ClickerState& state, Library& library, Host& host,
                                const Text& count_text);

// The count field, each number read with its value ("0103" for parameter 1 holding 3),
// ":", then the status text. A count or number that is not a number is error 13; the
// values read before it are lost.
Text showparams(const ClickerState& state, Library& library, Host& host);

}  // namespace vkd
