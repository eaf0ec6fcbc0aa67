#include "sim/system_error.h"

#include <cerrno>
#include <system_error>

namespace vkd::sim {

std::string last_system_error() { return std::generic_category().message(errno); }

}  // namespace vkd::sim
