// Sample for the layer check: a conversation must not use its peer, the exports.
#include "conversations/open_port.h"
#include "csp2a/library.h"
#include "export/delimited_export.h"
#include "state/clicker_state.h"
