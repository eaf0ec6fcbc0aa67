#pragma once
// Whether a scanner is in its cradle, and which: the port search and the device
// identifier, the port released at once. A station asks this every few seconds while it
// waits, and downloads only when the answer changes.
#include <optional>

#include "automation/host.h"
#include "conversations/download.h"
#include "conversations/search_ports.h"
#include "csp2a/library.h"

namespace vkd {

struct ScannerPresence {
  PortAttempt answered;  // the port, and the count and status it reported
  Identifier identifier{};
};

std::optional<ScannerPresence> identify_scanner(Library& library, Host& host, PortRange ports,
                                                Connection& connection, SearchObserver& observer);

}  // namespace vkd
