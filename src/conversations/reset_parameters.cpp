#include "conversations/reset_parameters.h"

namespace vkd {

ParameterReset reset_parameters(Library& library, Host& host, std::int32_t port,
                                std::span<const ParameterSetting> settings, EmptyingObserver& observer) {
  ParameterReset reset;
  reset.emptying = empty_scanner(library, host, port, Text(), observer);
  restore_defaults(library);
  for (const ParameterSetting& setting : settings) {
    reset.writes.push_back(write_parameter(library, host, port, setting.number, setting.value));
  }
  return reset;
}

}  // namespace vkd
