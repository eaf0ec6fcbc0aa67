#pragma once
// The collection station (clicker collect): it waits for a scanner in its cradle, asking
// the port search every few seconds and sleeping between, handles each docking once, and
// notices when the scanner is taken out. A stop request ends it after its current step.
#include <optional>

#include "automation/host.h"
#include "cli/docking.h"
#include "cli/station_events.h"
#include "csp2a/library.h"
#include "store/store.h"

namespace vkd::cli {

struct StationRun {
  bool once = false;                 // one docking, then exit
  std::optional<int> wait_seconds;  // with once: how long to wait for it (none: at once)
};

// The exit status: 0 when it stopped as asked, or (once) the docking was stored and the
// scanner emptied; 2 when (once) no scanner came or it was not emptied; 1 when (once) the
// store failed, or the scanner library cannot be used.
int run_station(Library& library, Host& host, store::Store& store, const StationSettings& settings, StationRun run,
                StationEvents& events);

}  // namespace vkd::cli
