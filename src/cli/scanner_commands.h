#pragma once
// The commands that talk to the scanner on one port, the one given or remembered: empty,
// params show and params reset.
#include "cli/scanner_session.h"

namespace vkd::cli {

void empty_command(ScannerSession& session);
void params_show_command(ScannerSession& session);
void params_reset_command(ScannerSession& session);

}  // namespace vkd::cli
