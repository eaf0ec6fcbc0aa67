#include <gtest/gtest.h>

#include <chrono>

#include "automation/host.h"
#include "fake_host.h"

namespace vkd {
namespace {

using namespace std::chrono_literals;
using testing::FakeHost;

TEST(SettlingPause, EndsAtTheFirstReadingTwoSecondsAfterTheStart) {
  FakeHost host;  // one second per reading, far less monotonic time
  settling_pause(host);
  // 14:25:01 starts it, 14:25:02 is 1.157 (< 1.5), 14:25:03 is 2.315.
  EXPECT_EQ(host.clock_readings, 3);
  EXPECT_EQ(host.events_runs, 1);
  EXPECT_EQ(host.waits, 1);
}

TEST(SettlingPause, LetsEventsRunAndWaitsBetweenEveryReading) {
  FakeHost host;
  host.seconds_step = 0;
  int readings_seen_by_events = 0;
  host.on_events = [&] {
    readings_seen_by_events = host.clock_readings;
    if (host.events_runs == 5) host.seconds_of_day += 2;  // the next reading is 2 s on
  };
  settling_pause(host);
  EXPECT_EQ(host.events_runs, 5);
  EXPECT_EQ(host.waits, 5);
  EXPECT_EQ(host.clock_readings, 7);
  EXPECT_EQ(readings_seen_by_events, 6);
}

TEST(SettlingPause, OneSecondIsNotEnough) {
  FakeHost host;
  host.seconds_step = 0;
  host.on_events = [&] { host.seconds_of_day = 14 * 3600 + 25 * 60 + 2; };  // stays at +1 s
  host.monotonic_step = 100ms;
  settling_pause(host);
  EXPECT_EQ(host.events_runs, 19);  // ended by the twentieth monotonic reading, 2 s on
}

struct BackwardClock {
  const char* name;
  std::int32_t start;
  std::int32_t step;
};

class SettlingPauseWithBackwardClock : public ::testing::TestWithParam<BackwardClock> {};

TEST_P(SettlingPauseWithBackwardClock, EndsThroughTheMonotonicBound) {
  FakeHost host;
  host.seconds_of_day = GetParam().start;
  host.seconds_step = GetParam().step;
  host.monotonic_step = 10ms;
  const auto monotonic_start = host.monotonic;
  settling_pause(host);
  const auto elapsed = host.monotonic - host.monotonic_step - monotonic_start;  // at the last reading
  EXPECT_GE(elapsed, 2s);
  EXPECT_LT(elapsed, 2s + host.monotonic_step);
  EXPECT_EQ(host.waits, host.events_runs);
  EXPECT_EQ(host.waits, 199);
}

INSTANTIATE_TEST_SUITE_P(Clocks, SettlingPauseWithBackwardClock,
                         ::testing::Values(BackwardClock{"MidnightWrap", 86399, 1},
                                           BackwardClock{"Frozen", 14 * 3600, 0},
                                           BackwardClock{"RunningBackwards", 14 * 3600, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PortableHost, ReadsPlausibleClocksAndWaitsBriefly) {
  PortableHost host;
  const std::int32_t seconds = host.local_seconds_of_day();
  EXPECT_GE(seconds, 0);
  EXPECT_LT(seconds, 86400);
  const auto before = host.monotonic_time();
  host.wait_briefly();
  const auto waited = host.monotonic_time() - before;
  EXPECT_GE(waited, 5ms);
  EXPECT_LT(waited, 1s);
}

}  // namespace
}  // namespace vkd
