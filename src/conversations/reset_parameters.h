#pragma once
// Resetting the scanner's parameters: the scanner is emptied, its defaults restored, then
// each listed parameter written, each its own exchange (a pause and a whole bracket).
#include <cstdint>
#include <span>
#include <vector>

#include "automation/host.h"
#include "conversations/empty_scanner.h"
#include "conversations/parameter_exchanges.h"
#include "csp2a/library.h"

namespace vkd {

struct ParameterSetting {
  std::int16_t number = 0;
  std::int32_t value = 0;
  friend bool operator==(const ParameterSetting&, const ParameterSetting&) = default;
};

struct ParameterReset {
  Emptying emptying;
  std::vector<ParameterWrite> writes;
};

// The defaults and the settings are sent whatever the emptying found, as the scanner's
// own reset does: it does not wait for a scanner that answers.
ParameterReset reset_parameters(Library& library, Host& host, std::int32_t port,
                                std::span<const ParameterSetting> settings, EmptyingObserver& observer);

}  // namespace vkd
