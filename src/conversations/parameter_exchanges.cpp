#include "conversations/parameter_exchanges.h"

#include <array>

#include "automation/error.h"
#include "conversations/open_port.h"

namespace vkd {

namespace {

using ParameterBuffer = std::array<std::uint8_t, csp2a::parameter_size>;
constexpr std::uint8_t blank = 0x20;

// Opens the port, wakes and interrogates the scanner, runs the exchange, then powers
// the scanner down and releases the port, on the error path as well.
template <typename Exchange>
auto in_bracket(Library& library, std::int32_t port, Exchange exchange) {
  std::int32_t opened = 0;
  OpenPort open_port = OpenPort::open(library, port, opened);
  open_port.wake_up();
  library.csp2Interrogate();
  auto result = exchange(opened);
  open_port.power_down();
  open_port.release();
  return result;
}

std::optional<std::int32_t> item(std::int32_t answer) {
  if (answer < 0) return std::nullopt;
  return answer;
}

}  // namespace

ParameterValue read_parameter(Library& library, Host& host, std::int32_t port, std::int16_t number) {
  settling_pause(host);
  return in_bracket(library, port, [&](std::int32_t opened) {
    ParameterBuffer buffer{};
    const std::int32_t result = library.csp2GetParam(number, buffer.data(), csp2a::parameter_size);
    return ParameterValue{.number = number, .opened = opened, .result = result, .value = buffer[0]};
  });
}

ParameterWrite write_parameter(Library& library, Host& host, std::int32_t port, std::int16_t number,
                               std::int32_t value) {
  settling_pause(host);
  return in_bracket(library, port, [&](std::int32_t opened) {
    if (value < 0 || value > 255) throw Error::invalid_procedure_call();
    ParameterBuffer buffer;
    buffer.fill(blank);
    buffer[0] = static_cast<std::uint8_t>(value);
    buffer[1] = 0;
    // The value byte and its terminator are what the scanner is told to take.
    const std::int32_t result = library.csp2SetParam(number, buffer.data(), 2);
    return ParameterWrite{.number = number, .value = buffer[0], .opened = opened, .result = result};
  });
}

StatusReport interrogate_scanner(Library& library, std::int32_t port) {
  return in_bracket(library, port, [&](std::int32_t opened) {
    StatusReport report;
    report.opened = opened;
    report.protocol = item(library.csp2GetProtocol());
    report.system_status = item(library.csp2GetSystemStatus());
    report.version_result = library.csp2GetSwVersion(report.version.data(), csp2a::version_size);
    report.ascii_mode = item(library.csp2GetASCIIMode());
    report.rtc_mode = item(library.csp2GetRTCMode());
    return report;
  });
}

void restore_defaults(Library& library) { library.csp2SetDefaults(); }

}  // namespace vkd
