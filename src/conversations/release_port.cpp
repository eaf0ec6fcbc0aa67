#include "scanner/close_clicker.h"

namespace vkd {

void close_clicker(Library& library) { library.csp2Restore(); }

}  // namespace vkd
