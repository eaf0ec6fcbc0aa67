#pragma once
// The first phase of a download: sixteen port numbers tried in turn until one opens and
// reports a sane status and count.
#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "automation/host.h"
#include "conversations/open_port.h"
#include "csp2a/library.h"

namespace vkd {

// Where the search starts, and the highest port number it may try: counting up from the
// first, it wraps from 15 to 0, and from `highest` to 0. Past the 32-bit range of the
// library's argument a port number is the overflow error (6).
struct PortRange {
  std::int64_t first = 0;
  std::int64_t highest = std::numeric_limits<std::int64_t>::max();
};

struct Connection {
  std::vector<PortAttempt> attempts;  // in the order they were made

  // The last attempt, when it opened and reported a sane status and count: the search
  // stops there.
  const PortAttempt* answered() const;
  // The attempts that opened but reported a negative status or count.
  std::vector<PortAttempt> failed_answers() const;
};

// What the search reports as it goes, so that the object's fields follow it step by step.
class SearchObserver {
 public:
  virtual ~SearchObserver() = default;
  virtual void port_tried(const PortAttempt&) {}    // csp2Init answered
  virtual void count_read(const PortAttempt&) {}    // the port opened and gave its count
  virtual void status_read(const PortAttempt&) {}   // ... and its status
  virtual void port_accepted(const PortAttempt&) {}
  virtual void no_port_answered() {}
};

// Tries up to sixteen ports. Gives the port that answered, still open, for the rest of
// the conversation; a port that opened but reported a negative status or count is
// released at once and the search goes on.
std::optional<OpenPort> search_ports(Library& library, Host& host, PortRange ports,
                                     Connection& connection, SearchObserver& observer);

}  // namespace vkd
