#include "scanner/open_clicker.h"

#include "scanner/clock_and_version.h"
#include "scanner/download.h"
#include "scanner/port_guard.h"
#include "scanner/port_search.h"

namespace vkd {

void open_clicker(ClickerState& state, Library& library, Host& host) {
  if (!search_ports(state, library, host)) return;
  // The port found stays open until the clock phase releases it; an error before that
  // must not keep it.
  PortGuard port(library);
  read_serial(state, library);
  download_barcodes(state, library);
  read_clock_and_version(state, library, host, port);
}

}  // namespace vkd
