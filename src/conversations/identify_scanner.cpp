#include "conversations/identify_scanner.h"

namespace vkd {

std::optional<ScannerPresence> identify_scanner(Library& library, Host& host, PortRange ports,
                                                Connection& connection, SearchObserver& observer) {
  std::optional<OpenPort> port = search_ports(library, host, ports, connection, observer);
  if (!port) return std::nullopt;
  ScannerPresence presence{.answered = *connection.answered(), .identifier = {}};
  library.csp2GetDeviceId(presence.identifier.data(), csp2a::device_id_size);
  port->release();
  return presence;
}

}  // namespace vkd
