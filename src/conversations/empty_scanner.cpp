#include "conversations/empty_scanner.h"

#include <utility>

namespace vkd {

std::optional<OpenPort> open_told(Library& library, Host& host, std::int32_t port, PortAttempt& opening,
                                  EmptyingObserver& observer) {
  PortOpening opened = try_port(library, host, port);
  opening = opened.attempt;
  observer.port_opened(opening);
  if (!opened.port) observer.port_not_opened(opening);
  return std::move(opened.port);
}

bool scanner_answers(OpenPort& port, PortAttempt& opening, EmptyingObserver& observer) {
  Library& library = port.library();
  opening.count = read_count(library);
  observer.records_counted(*opening.count);
  opening.status = library.csp2GetSystemStatus();
  if (!opening.sane()) {
    observer.answered_with_failure(opening);
    // A scanner in trouble still holds the port; leaving it open would lock every later
    // conversation out.
    port.release();
    return false;
  }
  observer.answered(opening);
  return true;
}

Emptying empty_scanner(Library& library, Host& host, std::int32_t port, const Text& date_time,
                       EmptyingObserver& observer) {
  Emptying emptying;
  // From its opening on the port is held: an error (an overflowing count) must not keep it.
  std::optional<OpenPort> open_port = open_told(library, host, port, emptying.opening, observer);
  if (!open_port || !scanner_answers(*open_port, emptying.opening, observer)) return emptying;
  if (!date_time.empty()) emptying.clock = set_clicker_time(*open_port, date_time, clock_attempts, observer);
  settling_pause(host);
  emptying.clears = clear_scanner(library, clear_attempts, observer);
  open_port->release();
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
