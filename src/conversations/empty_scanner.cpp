#include "conversations/empty_scanner.h"

#include <utility>

namespace vkd {

Emptying empty_scanner(Library& library, Host& host, std::int32_t port, const Text& date_time,
                       EmptyingObserver& observer) {
  Emptying emptying;
  PortOpening opening = try_port(library, host, port);
  emptying.opening = opening.attempt;
  observer.port_opened(emptying.opening);
  if (!opening.port) {
    observer.port_not_opened(emptying.opening);
    return emptying;
  }

  // From here on the port is held: an error (an overflowing count) must not keep it.
  OpenPort& open_port = *opening.port;
  emptying.opening.count = read_count(library);
  observer.records_counted(*emptying.opening.count);
  emptying.opening.status = library.csp2GetSystemStatus();
  if (!emptying.answered()) {
    observer.answered_with_failure(emptying.opening);
    // A scanner in trouble still holds the port; leaving it open would lock every later
    // conversation out.
    open_port.release();
    return emptying;
  }

  observer.answered(emptying.opening);
  if (!date_time.empty()) emptying.clock = set_clicker_time(open_port, date_time, clock_attempts, observer);
  settling_pause(host);
  emptying.clears = clear_scanner(library, clear_attempts, observer);
  open_port.release();
  return emptying;
}

std::vector<ClearAttempt> clear_scanner(Library& library, std::int16_t attempts, EmptyingObserver& observer) {
  std::vector<ClearAttempt> clears;
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    ClearAttempt& clear = clears.emplace_back();
    clear.result = library.csp2ClearData();
    observer.clear_answered(clear);
    clear.confirmed = clear.result == 0;
    if (!clear.confirmed) {
      clear.count = read_count(library);
      observer.records_counted(*clear.count);
      clear.status = library.csp2GetSystemStatus();
      observer.clear_checked(clear);
      clear.confirmed = clear.status == 0 && clear.count == 0;
    }
    if (clear.confirmed) {
      observer.clear_confirmed(attempt);
      return clears;
    }
  }
  return clears;
}

}  // namespace vkd
