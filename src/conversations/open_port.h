#pragma once
// Covers the error paths of a port bracket: when a run-time error leaves the bracket
// early, the scanner is powered down (if it was woken) and the port released, so that
// the next conversation can open it. Normal paths release explicitly and are untouched.
#include <exception>

#include "scanner/library.h"

namespace vkd {

class PortGuard {
 public:
  explicit PortGuard(Library& library) : library_(library) {}
  PortGuard(const PortGuard&) = delete;
  PortGuard& operator=(const PortGuard&) = delete;

  void scanner_woken() { woken_ = true; }
  void scanner_asleep() { woken_ = false; }
  // The bracket has released the port itself; nothing is left to cover.
  void released() { held_ = false; }

  ~PortGuard() {
    if (!held_ || std::uncaught_exceptions() == errors_at_start_) return;
    if (woken_) quietly([this] { library_.csp2PowerDown(); });
    quietly([this] { library_.csp2Restore(); });
  }

  // The error already leaving the bracket is the one the host must see; a failing
  // power-down must not keep the port from being released.
  template <typename Call>
  static void quietly(Call call) noexcept {
    try {
      call();
    } catch (...) {
    }
  }

 private:
  Library& library_;
  const int errors_at_start_ = std::uncaught_exceptions();
  bool held_ = true;
  bool woken_ = false;
};

}  // namespace vkd

namespace vkd {

// Covers a wake-up inside a bracket whose port an outer PortGuard releases: an error
// between csp2WakeUp and csp2PowerDown still puts the scanner back to sleep first.
class WakeGuard {
 public:
  explicit WakeGuard(Library& library) : library_(library) {}
  WakeGuard(const WakeGuard&) = delete;
  WakeGuard& operator=(const WakeGuard&) = delete;

  ~WakeGuard() {
    if (std::uncaught_exceptions() != errors_at_start_) {
      PortGuard::quietly([this] { library_.csp2PowerDown(); });
    }
  }

 private:
  Library& library_;
  const int errors_at_start_ = std::uncaught_exceptions();
};

}  // namespace vkd
