#pragma once
#include "csp2a/library.h"

namespace vkd {

// Asks the library to release the port, whether or not one is held; changes no field.
void release_port(Library& library);

}  // namespace vkd
