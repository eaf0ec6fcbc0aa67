#pragma once
// The download command: finds the scanner (waiting for it when asked), reads everything it
// holds, and empties it only once all of that is safely written.
#include <chrono>

#include "automation/host.h"
#include "cli/scanner_commands.h"

namespace vkd::cli {

// Between two port searches while --wait lasts: often enough for a scanner put in its
// cradle, rarely enough to leave the serial ports alone.
inline constexpr std::chrono::seconds search_interval{3};

// The search starts at the object's lastport. `host` is the one the object waits on: its
// clock times --wait, and its waits show on a terminal.
Outcome download(Clicker& clicker, Host& host, const Invocation& invocation);

}  // namespace vkd::cli
