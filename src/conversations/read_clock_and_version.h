#pragma once
// The last phase of open_clicker: after the settling pause, the scanner's clock read
// inside a wake/sleep bracket, the release of the port, the decoding of the clock, and
// the software version.
#include "automation/host.h"
#include "conversations/open_port.h"
#include "state/clicker_state.h"

namespace vkd {

// Waits the settling pause (the host's events run meanwhile), reads the clock, sends
// the scanner back to sleep and releases the port; then decodes the
// clock into clock_flag, clock_text and clock_date and reads SwVersion.
//
// clock_date carries a time of day out of range the way the date carries: hours 24 are
// midnight of the next day, minutes or seconds above 59 run into the next unit.
void read_clock_and_version(ClickerState& state, OpenPort port, Host& host);

}  // namespace vkd
