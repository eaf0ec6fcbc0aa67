#include "scanner/parameter_lists.h"

#include <cstdint>

#include "automation/mask.h"
#include "automation/number_reading.h"
#include "scanner/parameters.h"

namespace vkd {

namespace {

constexpr long field_length = 2;

Text field_at(const Text& list, long position) { return mid(list, position, field_length); }

// The count is compared as it reads, unrounded: "1." lists one entry, ".5" none.
double strict_count(const Text& list) { return strict_number(left(list, field_length)); }

}  // namespace

void restore_defaults_and_write(const ClickerState& state, Library& library, Host& host,
                                const Text& count_text) {
  library.csp2SetDefaults();
  const double count = strict_count(count_text);
  for (long entry = 1; entry <= count; ++entry) {
    const std::int16_t number = to_int16(lenient_number(field_at(state.newparams, 4 * entry - 1)));
    const std::int32_t value = to_int32(lenient_number(field_at(state.newparams, 4 * entry + 1)));
    set_clicker_param(library, host, state.lastport, number, value);
  }
}

Text showparams(const ClickerState& state, Library& library, Host& host) {
  Text report = left(state.cur_clicker_params, field_length);
  if (state.cur_clicker_params.size() > field_length) {
    const double count = strict_count(state.cur_clicker_params);
    for (long entry = 1; entry <= count; ++entry) {
      const std::int16_t number =
          to_int16(strict_number(field_at(state.cur_clicker_params, 2 * entry + 1)));
      const std::int16_t value = get_clicker_param(library, host, state.lastport, number);
      report += zero_filled(number, 2) + zero_filled(value, 2);
    }
  }
  return report + u":" + interrogate_clicker(library, state.lastport);
}

}  // namespace vkd
