#pragma once
// How a station meets a store that fails (its server lost, its file locked or full): it
// says so once, stores and erases nothing meanwhile, and tries the store again after 3 s,
// then 6, 12 ... up to 60 s between tries while it keeps failing, rather than at every
// poll; it says when the store works again.
#include <chrono>
#include <optional>
#include <string>

#include "automation/host.h"
#include "cli/station_events.h"
#include "store/store.h"

namespace vkd::cli {

class StoreBackoff {
 public:
  static constexpr std::chrono::seconds first_wait{3};
  static constexpr std::chrono::seconds longest_wait{60};

  StoreBackoff(Host& host, StationEvents& events) : host_(host), events_(events) {}

  // Whether the store may be tried now: unless it failed and its next try is not due yet.
  bool due();
  // A call to the store failed; `consequence` says what the station did about it.
  void failed(const store::StoreError& error, const std::string& consequence);
  // A call to the store went through.
  void worked();

 private:
  Host& host_;
  StationEvents& events_;
  std::optional<std::chrono::nanoseconds> failing_since_;
  std::chrono::seconds wait_{0};
  std::chrono::nanoseconds next_try_{0};
};

}  // namespace vkd::cli
