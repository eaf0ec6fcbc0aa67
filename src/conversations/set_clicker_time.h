#pragma once
// Setting the scanner clock from a date-time text of six two-digit fields: second,
// minute, hour, day, month, year within its century ("595923311299" is 23:59:59 on
// 31 December of year 99).
#include <cstdint>

#include "automation/text.h"
#include "conversations/open_port.h"
#include "state/clicker_state.h"

namespace vkd {

// Checks the text; when it names a real date and time, logs it and sends it with up to
// `attempts` attempts, each woken and powered down, and sets timechange_ok on the first
// one the scanner accepts. A text that fails the checks is neither sent nor logged.
// Runs on a port the caller has opened and releases nothing.
void set_clicker_time(ClickerState& state, OpenPort& port, const Text& date_time,
                      std::int16_t attempts);

// The checks take two-character pieces; a piece that is not exactly two decimal digits
// fails them. The year is 00-99 and its leap rule is applied to that number itself, so
// 00 is a leap year.
bool valid_date(const Text& year, const Text& month, const Text& day);
// Hour 24 passes.
bool valid_time(const Text& hour, const Text& minute, const Text& second);

}  // namespace vkd
