#include "conversations/parameter_exchanges.h"

#include <array>

#include "automation/error.h"
#include "automation/mask.h"
#include "conversations/open_port.h"
#include "conversations/port_number.h"

namespace vkd {

namespace {

using ParameterBuffer = std::array<std::uint8_t, csp2a::parameter_size>;
using VersionBuffer = std::array<std::uint8_t, csp2a::version_size>;
constexpr std::uint8_t blank = 0x20;

// Opens the port, wakes and interrogates the scanner, runs the exchange, then powers
// the scanner down and releases the port, on the error path as well.
template <typename Exchange>
auto in_bracket(Library& library, std::int32_t port, Exchange exchange) {
  OpenPort open_port = OpenPort::open(library, port);
  open_port.wake_up();
  library.csp2Interrogate();
  auto result = exchange();
  open_port.power_down();
  open_port.release();
  return result;
}

// A parameter exchange: the settling pause, then the bracket. The port is converted
// before the pause, so that a port that cannot be used fails without waiting and
// nothing the host changes during the pause is read halfway.
template <typename Exchange>
auto after_pause_in_bracket(Library& library, Host& host, const Variant& port, Exchange exchange) {
  const std::int32_t port_value = port_number(port);
  settling_pause(host);
  return in_bracket(library, port_value, exchange);
}

Text status_item(std::int32_t result) {
  return Text(u":").append(result < 0 ? Text(u"0x????") : hex_0x(result));
}

Text protocol_item(std::int32_t result) { return result < 0 ? Text(u":0x??") : hex_0x(result); }

}  // namespace

std::int16_t get_clicker_param(Library& library, Host& host, const Variant& port,
                               std::int16_t number) {
  return after_pause_in_bracket(library, host, port, [&] {
    ParameterBuffer buffer{};
    library.csp2GetParam(number, buffer.data(), csp2a::parameter_size);
    return static_cast<std::int16_t>(buffer[0]);
  });
}

void set_clicker_param(Library& library, Host& host, const Variant& port, std::int16_t number,
                       std::int32_t value) {
  after_pause_in_bracket(library, host, port, [&] {
    if (value < 0 || value > 255) throw Error::invalid_procedure_call();
    ParameterBuffer buffer;
    buffer.fill(blank);
    buffer[0] = static_cast<std::uint8_t>(value);
    buffer[1] = 0;
    // The value byte and its terminator are what the scanner is told to take.
    return library.csp2SetParam(number, buffer.data(), 2);
  });
}

Text interrogate_clicker(Library& library, const Variant& port) {
  return in_bracket(library, port_number(port), [&] {
    Text status = protocol_item(library.csp2GetProtocol());
    status += status_item(library.csp2GetSystemStatus());
    VersionBuffer version{};
    library.csp2GetSwVersion(version.data(), csp2a::version_size);
    status.append(u":").append(text_from_bytes(version));
    status += status_item(library.csp2GetASCIIMode());
    status += status_item(library.csp2GetRTCMode());
    return status;
  });
}

}  // namespace vkd
