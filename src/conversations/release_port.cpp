#include "conversations/release_port.h"

namespace vkd {

void release_port(Library& library) { library.csp2Restore(); }

}  // namespace vkd
