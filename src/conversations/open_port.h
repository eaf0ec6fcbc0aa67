#pragma once
// Opening a port and owning it once opened. OpenPort's methods wake the scanner, power it
// down and release the port in whatever order a conversation needs, and whatever it still
// holds when it goes (a run-time error leaving a conversation early) is given back: a
// woken scanner is powered down, then the port released, so that the next conversation
// can open it.
#include <cstdint>
#include <optional>

#include "automation/host.h"
#include "csp2a/library.h"

namespace vkd {

class OpenPort {
 public:
  // Takes over a port that csp2Init has just opened.
  explicit OpenPort(Library& library) : library_(&library) {}
  // csp2Init(port), for the parameter exchanges, which never examine its answer: the
  // port counts as held whatever the library said. The answer is left in `answer`.
  static OpenPort open(Library& library, std::int32_t port, std::int32_t& answer);

  OpenPort(OpenPort&& other) noexcept;
  OpenPort& operator=(OpenPort&& other) noexcept;
  OpenPort(const OpenPort&) = delete;
  OpenPort& operator=(const OpenPort&) = delete;
  ~OpenPort();

  Library& library() const { return *library_; }

  std::int32_t wake_up();      // csp2WakeUp
  std::int32_t power_down();   // csp2PowerDown
  // csp2Restore: the port is given back, and the scanner with it.
  std::int32_t release();

 private:
  // Gives back what is still held. The error already leaving the conversation is the one
  // the host must see: a failing power-down or release is swallowed, and a failing
  // power-down does not keep the port from being released.
  void give_back() noexcept;

  Library* library_;  // null once released or moved from
  bool woken_ = false;
};

// One csp2Init of a search or an emptying, and what the scanner reported once it opened.
struct PortAttempt {
  std::int32_t port = 0;
  std::int32_t result = 0;          // csp2Init's answer: 0 when the port opened
  std::int32_t seconds_of_day = 0;  // the local time when csp2Init came back
  std::optional<std::int16_t> count;   // csp2ReadData, once the port opened
  std::optional<std::int32_t> status;  // csp2GetSystemStatus, after the count

  bool opened() const { return result == 0; }
  // Opened, and reported a status and a count that are not negative.
  bool sane() const { return status && *status >= 0 && count && *count >= 0; }
  friend bool operator==(const PortAttempt&, const PortAttempt&) = default;
};

struct PortOpening {
  PortAttempt attempt;
  std::optional<OpenPort> port;  // held when csp2Init answered 0
};

// csp2Init(port), then the local time. A port that opened is held from the moment
// csp2Init comes back, so that nothing failing afterwards (the host's clock) keeps it.
PortOpening try_port(Library& library, Host& host, std::int32_t port);

// csp2ReadData: the scanner's record count, which must fit the 16 bits that every holder
// of a count has (the object's num_barcodes, an export's record numbers): a larger one is
// the overflow error (6).
std::int16_t read_count(Library& library);

// csp2Restore, whether or not a port is held: gives back a port an error left open.
void release_port(Library& library);

}  // namespace vkd
