#pragma once
// The commands of the station's store: collect (the station itself), batches (what it
// holds), export (the records of chosen batches) and store init (the store made ready).
#include "cli/arguments.h"
#include "cli/run.h"

namespace vkd::cli {

int collect_command(const Invocation& invocation, Environment& environment);
int batches_command(const Invocation& invocation, Environment& environment);
int export_command(const Invocation& invocation, Environment& environment);
int store_init_command(const Invocation& invocation, Environment& environment);

}  // namespace vkd::cli
