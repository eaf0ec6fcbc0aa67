#pragma once
// An opened port, owned: its methods wake the scanner, power it down and release the
// port in whatever order a conversation needs, and whatever it still holds when it goes
// (a run-time error leaving a conversation early) is given back: a woken scanner is
// powered down, then the port released, so that the next conversation can open it.
#include <cstdint>
#include <optional>

#include "csp2a/library.h"

namespace vkd {

class OpenPort {
 public:
  // Takes over a port that csp2Init has just opened.
  explicit OpenPort(Library& library) : library_(&library) {}
  // csp2Init(port), for the parameter exchanges, which never examine its answer: the
  // port counts as held whatever the library said.
  static OpenPort open(Library& library, std::int32_t port);

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

}  // namespace vkd
