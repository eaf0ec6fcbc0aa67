#pragma once
// Writing the parameters the host lists in newparams, two-character fields with no
// separators: the count, then number-value pairs ("0201051203" sets 1 to 5 and 12 to 3).
// Each parameter is its own exchange with the scanner (a pause and a whole bracket).
#include "automation/host.h"
#include "automation/text.h"
#include "csp2a/library.h"
#include "state/clicker_state.h"

namespace vkd {

// What reset_params does once the scanner has been emptied: csp2SetDefaults outside any
// bracket, then every entry of newparams written to lastport. `count_text` is the count
// as it stood before the emptying. The count must be a number (else error 13, after the
// defaults were restored); entry fields are read leniently, so a missing entry writes
// parameter 0 with value 0. Each entry is read from newparams as it stands at its turn.
void reset_parameters(const ClickerState& state, Library& library, Host& host,
                      const Text& count_text);

}  // namespace vkd
