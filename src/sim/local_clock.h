#pragma once
#include "sim/device.h"

namespace vkd::sim {

// The computer's local time as scanner clock bytes (year within the century).
Clock local_clock();

}  // namespace vkd::sim
