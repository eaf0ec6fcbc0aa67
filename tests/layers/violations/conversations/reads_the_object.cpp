// Sample for the layer check: a conversation reports results and knows no object's fields.
#include "conversations/open_port.h"
#include "csp2a/library.h"
#include "component/clicker_fields.h"
#include "automation/text.h"
