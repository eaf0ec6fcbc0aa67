// Sample for the layer check: the simulated scanner uses the library function list alone.
#include "csp2a/csp2a_functions.h"
#include "automation/error.h"
#include "sim/scanner.h"
