#pragma once
// The whole conversation behind open_clicker: port search, device identifier, download,
// settling pause, clock, release and version.
#include "automation/host.h"
#include "csp2a/library.h"
#include "state/clicker_state.h"

namespace vkd {

// Scanner failures show only in open_ok, comport and the log. A run-time error ends the
// call with the fields written so far; a port it found is released first.
void open_and_download(ClickerState& state, Library& library, Host& host);

}  // namespace vkd
