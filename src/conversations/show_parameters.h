#pragma once
// Reading a list of parameters and then the status items, each parameter its own
// exchange with the scanner (a pause and a whole bracket).
#include <cstdint>
#include <span>
#include <vector>

#include "automation/host.h"
#include "conversations/parameter_exchanges.h"
#include "csp2a/library.h"

namespace vkd {

struct ParameterReadout {
  std::vector<ParameterValue> values;  // in the order asked for
  StatusReport status;
  // The status exchange opened the port and the scanner gave its protocol: somebody answered.
  bool answered() const { return status.opened == 0 && status.protocol.has_value(); }
};

ParameterReadout show_parameters(Library& library, Host& host, std::int32_t port,
                                 std::span<const std::int16_t> numbers);

}  // namespace vkd
