#pragma once
#include <cstdint>

#include "automation/variant.h"

namespace vkd {

// lastport as the 32-bit port number handed to csp2Init: Empty is 0; a value that does
// not convert (Null, a text that is not a number, a number beyond the 32-bit range) is
// the type-mismatch error (13).
std::int32_t port_number(const Variant& lastport);

}  // namespace vkd
