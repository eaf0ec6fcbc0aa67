#pragma once
// The commands of the station's store: collect (the station itself), batches (what it
// holds) and export (the records of chosen batches).
#include "cli/arguments.h"
#include "cli/run.h"

namespace vkd::cli {

int collect_command(const Invocation& invocation, Environment& environment);
int batches_command(const Invocation& invocation, Environment& environment);
int export_command(const Invocation& invocation, Environment& environment);

}  // namespace vkd::cli
