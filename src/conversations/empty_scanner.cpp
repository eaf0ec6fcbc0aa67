#include "conversations/empty_scanner.h"

#include <utility>

#include "automation/mask.h"
#include "conversations/set_clicker_time.h"
#include "conversations/port_number.h"
#include "conversations/port_opening.h"

namespace vkd {

namespace {

constexpr std::int16_t clock_attempts = 5;
constexpr std::int16_t clear_attempts = 5;

}  // namespace

void empty_scanner(ClickerState& state, Library& library, Host& host) {
  state.empty_ok = false;
  if (state.lastport.is_empty()) {
    state.open_ok = false;
    state.log = u"ENSP";
    return;
  }

  const std::int32_t port = port_number(state.lastport);
  LoggedOpening opening = open_logged(library, host, port);
  state.log = std::move(opening.entry);
  if (!opening.port) {
    state.log = u"OPNP" + state.log;
    state.open_ok = false;
    return;
  }

  // From here on the port is held: an error (an overflowing count) must not keep it.
  OpenPort& open_port = *opening.port;
  read_count(state, library);
  const std::int32_t status = library.csp2GetSystemStatus();
  if (status < 0 || state.num_barcodes < 0) {
    state.log = u"OPNG" + state.log + u"*" + decimal(state.num_barcodes);
    state.open_ok = false;
    // A scanner in trouble still holds the port; leaving it open would lock every
    // later conversation out.
    open_port.release();
    return;
  }

  state.log = u"OPOK" + state.log;
  state.open_ok = true;
  state.timechange_ok = false;
  if (!state.pnewdatetime.empty()) {
    set_clicker_time(state, open_port, state.pnewdatetime, clock_attempts);
  }

  settling_pause(host);
  clear_clicker(state, library, clear_attempts);
  open_port.release();
}

void clear_clicker(ClickerState& state, Library& library, std::int16_t attempts) {
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    const std::int32_t cleared = library.csp2ClearData();
    state.log += u":" + decimal(cleared);
    bool confirmed = cleared == 0;
    if (!confirmed) {
      read_count(state, library);
      const std::int32_t status = library.csp2GetSystemStatus();
      state.log += u":" + decimal(status) + u"*" + decimal(state.num_barcodes);
      confirmed = status == 0 && state.num_barcodes == 0;
    }
    if (confirmed) {
      state.log = u"CLOK:" + zero_filled(attempt, 2) + u":" + state.log;
      state.empty_ok = true;
      return;
    }
  }
}

}  // namespace vkd
