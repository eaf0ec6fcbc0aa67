// Sample for the layer check: the simulated scanner uses the library function list and
// the files layer alone.
#include "csp2a/csp2a_functions.h"
#include "automation/error.h"
#include "files/replace_file.h"
#include "sim/scanner.h"
