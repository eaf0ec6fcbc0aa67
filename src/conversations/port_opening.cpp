#include "conversations/port_opening.h"

#include "automation/mask.h"
#include "automation/number_reading.h"

namespace vkd {

Text open_entry(std::int32_t port, std::int32_t seconds_of_day, std::int32_t result) {
  Text entry = u":";
  append_zero_filled(entry, port, 2);
  entry += hhmmss(seconds_of_day);
  entry += u'*';
  append_decimal(entry, result);
  return entry;
}

void read_count(ClickerState& state, Library& library) {
  state.num_barcodes = to_int16(static_cast<double>(library.csp2ReadData()));
}

}  // namespace vkd
