#pragma once
// Emptying the scanner on the port the host named: open, check, optionally set the
// clock, settle, erase with a few attempts, release. Scanner failures show in the flags
// and the log, never as errors.
#include <cstdint>

#include "automation/host.h"
#include "csp2a/library.h"
#include "state/clicker_state.h"

namespace vkd {

// The whole operation behind the object's EmptyScanner. Starts the log afresh (except
// when lastport does not convert, error 13 before any library call).
void empty_scanner(ClickerState& state, Library& library, Host& host);

// Sends the clear command up to `attempts` times on an open port, checking the count
// and status after each refusal; the first confirmed attempt puts "CLOK:kk:" in front
// of the log and sets empty_ok. Neither opens nor releases the port.
void clear_clicker(ClickerState& state, Library& library, std::int16_t attempts);

}  // namespace vkd
