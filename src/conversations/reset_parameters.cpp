#include "conversations/reset_parameters.h"

#include <cstdint>

#include "automation/number_reading.h"
#include "conversations/parameter_field.h"
#include "conversations/parameter_exchanges.h"

namespace vkd {

void reset_parameters(const ClickerState& state, Library& library, Host& host,
                      const Text& count_text) {
  library.csp2SetDefaults();
  const double count = parameter_field::count(count_text);
  for (long entry = 1; entry <= count; ++entry) {
    const std::int16_t number = to_int16(lenient_number(parameter_field::at(state.newparams, 4 * entry - 1)));
    const std::int32_t value = to_int32(lenient_number(parameter_field::at(state.newparams, 4 * entry + 1)));
    set_clicker_param(library, host, state.lastport, number, value);
  }
}

}  // namespace vkd
