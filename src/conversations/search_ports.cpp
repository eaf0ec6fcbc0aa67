#include "conversations/search_ports.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>

#include "automation/mask.h"
#include "automation/number_reading.h"
#include "conversations/port_number.h"
#include "conversations/port_opening.h"

namespace vkd {

namespace {

constexpr int attempts = 16;
constexpr std::int64_t wrap_at = 16;
constexpr std::int16_t no_port = 999;
constexpr int serial_bytes = 8;

void append(Text& log, std::initializer_list<std::u16string_view> pieces) {
  for (const std::u16string_view piece : pieces) log += piece;
}

// The port answered csp2Init: reads its count and status into the log and keeps the
// port when both are sane. A rejected port is released at once.
std::optional<OpenPort> accept_open_port(ClickerState& state, OpenPort port, std::int32_t number) {
  Library& library = port.library();
  read_count(state, library);
  const std::int32_t status = library.csp2GetSystemStatus();
  append(state.log, {u"*", decimal(status), u"*", decimal(state.num_barcodes)});
  if (status >= 0 && state.num_barcodes >= 0) {
    state.log.insert(0, u"OPOK");
    // comport is 16 bits wide: a larger port number overflows while the port is held.
    state.comport = to_int16(static_cast<double>(number));
    state.open_ok = true;
    return port;
  }
  port.release();
  return std::nullopt;
}

}  // namespace

std::optional<OpenPort> search_ports(ClickerState& state, Library& library, Host& host) {
  state.open_ok = false;
  state.comport = no_port;
  state.log.clear();

  // Kept wider than the library's argument: a first port at the top of the 32-bit range
  // steps past it, and the conversion for that attempt then overflows.
  std::int64_t port = port_number(state.lastport);
  for (int attempt = 0; attempt < attempts; ++attempt) {
    const std::int32_t number = to_int32(static_cast<double>(port));
    LoggedOpening opening = open_logged(library, host, number);
    state.log += opening.entry;
    if (opening.port) {
      if (auto accepted = accept_open_port(state, std::move(*opening.port), number)) return accepted;
    }
    if (++port == wrap_at) port = 0;
  }
  state.log.insert(0, u"OPNC");
  return std::nullopt;
}

void read_serial(ClickerState& state, Library& library) {
  std::array<std::uint8_t, csp2a::device_id_size> id{};
  library.csp2GetDeviceId(id.data(), csp2a::device_id_size);
  Text serial;
  serial.reserve(2 * serial_bytes);
  for (int i = 0; i < serial_bytes; ++i) serial += hex_byte(id[i]);
  state.serial = std::move(serial);
}

}  // namespace vkd
