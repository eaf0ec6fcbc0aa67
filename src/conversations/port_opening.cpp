#include "conversations/port_opening.h"

#include "automation/mask.h"
#include "automation/number_reading.h"

namespace vkd {

LoggedOpening open_logged(Library& library, Host& host, std::int32_t port) {
  LoggedOpening opening;
  const std::int32_t result = library.csp2Init(port);
  if (result == 0) opening.port.emplace(library);
  opening.entry = u":";
  append_zero_filled(opening.entry, port, 2);
  opening.entry += hhmmss(host.local_seconds_of_day());
  opening.entry += u'*';
  append_decimal(opening.entry, result);
  return opening;
}

void read_count(ClickerState& state, Library& library) {
  state.num_barcodes = to_int16(static_cast<double>(library.csp2ReadData()));
}

}  // namespace vkd
