#include "sim/system_error.h"

#include <windows.h>

namespace vkd::sim {

// The number, which any Windows documentation explains, rather than a message in the
// user's language that the trace's reader may not share.
std::string last_system_error() { return "Windows error " + std::to_string(::GetLastError()); }

}  // namespace vkd::sim
