#pragma once
// What the port search and the emptying do alike when they open a port.
#include <cstdint>
#include <optional>

#include "automation/host.h"
#include "automation/text.h"
#include "conversations/open_port.h"
#include "state/clicker_state.h"
#include "csp2a/library.h"

namespace vkd {

struct LoggedOpening {
  // Held when csp2Init answered 0.
  std::optional<OpenPort> port;
  // ":" + the port under "00" + the time csp2Init came back under "HHMMSS" + "*" + its
  // result.
  Text entry;
};

// csp2Init(port) and the log entry of its answer. A port that opened is held from the
// moment csp2Init comes back, so that nothing failing while the entry is made (the
// host's clock, the text) keeps it.
LoggedOpening open_logged(Library& library, Host& host, std::int32_t port);

// The scanner's count goes straight into the 16-bit num_barcodes: a count beyond it is
// the overflow error (6).
void read_count(ClickerState& state, Library& library);

}  // namespace vkd
