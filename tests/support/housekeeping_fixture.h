#pragma once
// A Clicker on the fake library and host, with the call sequences of the housekeeping
// conversations and the cost of one settling pause on the fake clocks.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "automation/error.h"
#include "component/clicker.h"
#include "fake_host.h"
#include "fake_library.h"
#include "sim/device.h"

namespace vkd::testing {

using Names = std::vector<std::string>;

inline Names operator+(Names first, const Names& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

inline Names repeated(const Names& names, int times) {
  Names result;
  for (int i = 0; i < times; ++i) result = result + names;
  return result;
}

inline const Names scanner_checked = {"csp2Init", "csp2ReadData", "csp2GetSystemStatus"};
inline const Names clock_attempt = {"csp2WakeUp", "csp2SetTime", "csp2PowerDown"};
inline const Names bracket_open = {"csp2Init", "csp2WakeUp", "csp2Interrogate"};
inline const Names bracket_close = {"csp2PowerDown", "csp2Restore"};
inline const Names parameter_read = bracket_open + Names{"csp2GetParam"} + bracket_close;
inline const Names parameter_write = bracket_open + Names{"csp2SetParam"} + bracket_close;
inline const Names status_exchange =
    bracket_open +
    Names{"csp2GetProtocol", "csp2GetSystemStatus", "csp2GetSwVersion", "csp2GetASCIIMode",
          "csp2GetRTCMode"} +
    bracket_close;
// An emptying whose first clear command is confirmed, without a clock text.
inline const Names emptied_at_once = scanner_checked + Names{"csp2ClearData", "csp2Restore"};

// A scripted answer that fills no buffer.
inline Answer returns(std::int32_t result) { return Answer{result, std::nullopt}; }

// The operation fails with the platform error `number`.
template <typename Operation>
void expect_error(int number, Operation operation) {
  try {
    operation();
    ADD_FAILURE() << "no error";
  } catch (const Error& error) {
    EXPECT_EQ(error.number(), number);
  }
}

// What one settling pause costs on a fresh fake host.
struct PauseCost {
  int clock_readings = 0;
  int events_runs = 0;
  int waits = 0;
  friend bool operator==(const PauseCost&, const PauseCost&) = default;
};

inline PauseCost cost_of(const FakeHost& host) {
  return {host.clock_readings, host.events_runs, host.waits};
}

inline PauseCost cost_of_pauses(int pauses) {
  FakeHost host;
  for (int i = 0; i < pauses; ++i) settling_pause(host);
  return cost_of(host);
}

inline sim::Device scanner_on_port(std::int32_t port) {
  sim::Device device;
  device.port = port;
  return device;
}

// One object on its own fake library and host.
struct Scene {
  Scene() {
    // Each pause notes how many library calls preceded it.
    host.on_events = [this] { calls_at_pauses.insert(library.calls().size()); };
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  Names calls() const { return library.call_names(); }

  // Leaves open_ok, empty_ok and timechange_ok true, num_barcodes `count` and a log of
  // its own behind, by an emptying that set the clock; then forgets that emptying's
  // calls and pauses and starts the host's clock afresh.
  void after_an_emptying_of(std::int16_t count) {
    library.change_device([count](sim::Device& device) { device.barcodes.resize(static_cast<std::size_t>(count)); });
    clicker.let_lastport(Variant(std::int16_t{3}));
    clicker.let_pnewdatetime(u"595923311299");
    clicker.EmptyScanner();
    EXPECT_TRUE(clicker.open_ok() && clicker.empty_ok() && clicker.timechange_ok());
    EXPECT_EQ(clicker.num_barcodes(), count);
    clicker.let_pnewdatetime(u"");
    earlier_log = clicker.log();
    library.forget_calls();
    host.seconds_of_day = FakeHost().seconds_of_day;
    host.clock_readings = host.events_runs = host.waits = 0;
    calls_at_pauses.clear();
  }

  // A scanner on port 3 that does all it is asked.
  FakeLibrary library{scanner_on_port(3)};
  FakeHost host;
  Clicker clicker{library, host};
  std::set<std::size_t> calls_at_pauses;
  Text earlier_log;
};

class HousekeepingTest : public ::testing::Test, public Scene {};

}  // namespace vkd::testing
