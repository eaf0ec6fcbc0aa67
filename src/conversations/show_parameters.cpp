#include "conversations/show_parameters.h"

namespace vkd {

ParameterReadout show_parameters(Library& library, Host& host, std::int32_t port,
                                 std::span<const std::int16_t> numbers) {
  ParameterReadout readout;
  for (const std::int16_t number : numbers) readout.values.push_back(read_parameter(library, host, port, number));
  readout.status = interrogate_scanner(library, port);
  return readout;
}

}  // namespace vkd
