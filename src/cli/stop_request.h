#pragma once
// A request to stop a long-running command after its current step: SIGINT and SIGTERM
// (Ctrl+C, a service's stop), or on Windows Ctrl+C, Ctrl+Break and the console's close.
#include <chrono>

namespace vkd::cli {

// From here on such a request is noted instead of ending the process. A file grown past
// the process's size limit then fails its write rather than ending the process too.
void listen_for_stop();

bool stop_requested();

// Sleeps, in slices short enough to notice a request soon; gives false when one came.
bool sleep_unless_stopped(std::chrono::milliseconds duration);

}  // namespace vkd::cli
