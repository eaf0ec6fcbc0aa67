#pragma once
// The first phase of open_clicker: the reset of its result fields, the search over
// sixteen port numbers with its connection-log entries and outcome markers, and the
// reading of the device identifier.
#include <optional>

#include "automation/host.h"
#include "conversations/open_port.h"
#include "csp2a/library.h"
#include "state/clicker_state.h"

namespace vkd {

// Resets open_ok, comport and log, then tries up to sixteen port numbers from lastport
// upwards (wrapping from 15 to 0) until one opens and reports a sane status and count.
// Gives that port, still open, for the rest of the conversation; nothing, with "OPNC" in
// front of the log, when none did.
std::optional<OpenPort> search_ports(ClickerState& state, Library& library, Host& host);

// serial = the first 8 bytes of the device identifier as upper-case hex digits.
void read_serial(ClickerState& state, Library& library);

}  // namespace vkd
