#pragma once
// The download command: finds the scanner (waiting for it when asked), reads everything it
// holds, writes it out, and empties it only once all of that is safely written and the
// scanner still holds exactly what was read.
#include <chrono>

#include "cli/scanner_session.h"

namespace vkd::cli {

// Between two port searches while --wait lasts: often enough for a scanner put in its
// cradle, rarely enough to leave the serial ports alone.
inline constexpr std::chrono::seconds search_interval{3};

// The search starts at the session's port, or at 0.
void download_command(ScannerSession& session);

}  // namespace vkd::cli
