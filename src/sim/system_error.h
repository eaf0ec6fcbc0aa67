#pragma once
// The operating system's last error as text, for the messages in the trace.
#include <string>

namespace vkd::sim {

// What errno (GetLastError on Windows) says about the call that just failed.
std::string last_system_error();

}  // namespace vkd::sim
