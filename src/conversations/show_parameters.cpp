#include "conversations/show_parameters.h"

#include <cstdint>

#include "automation/mask.h"
#include "automation/number_reading.h"
#include "conversations/parameter_exchanges.h"
#include "conversations/parameter_field.h"

namespace vkd {

Text show_parameters(const ClickerState& state, Library& library, Host& host) {
  Text report = left(state.cur_clicker_params, parameter_field::length);
  if (state.cur_clicker_params.size() > parameter_field::length) {
    const double count = parameter_field::count(state.cur_clicker_params);
    for (long entry = 1; entry <= count; ++entry) {
      const std::int16_t number =
          to_int16(strict_number(parameter_field::at(state.cur_clicker_params, 2 * entry + 1)));
      const std::int16_t value = get_clicker_param(library, host, state.lastport, number);
      report += zero_filled(number, 2) + zero_filled(value, 2);
    }
  }
  return report + u":" + interrogate_clicker(library, state.lastport);
}

}  // namespace vkd
