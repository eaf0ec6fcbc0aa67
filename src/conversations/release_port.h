#pragma once
#include "scanner/library.h"

namespace vkd {

// Asks the library to release the port, whether or not one is held; changes no field.
void close_clicker(Library& library);

}  // namespace vkd
