// The scanner's clock, parameters, identifier and version, and the buffers they fill.
#include <array>
#include <ctime>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class ClockAndParameters : public SimTest {
 protected:
  std::int32_t get_param(std::int32_t number) {
    Bytes value(10, untouched);
    EXPECT_EQ(library().csp2GetParam(number, value.data(), 10), result::ok);
    EXPECT_EQ(Bytes(value.begin() + 1, value.end()), Bytes(9, untouched)) << "beyond the first byte";
    return value[0];
  }
};

TEST_F(ClockAndParameters, TheClockIsSetAndReadAsSixRawBytes) {
  use_device({{"port", 3}, {"clock", {255, 15, 9, 17, 5, 7}}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  Bytes clock(8, untouched);
  ASSERT_EQ(library().csp2GetTime(clock.data()), result::ok);
  EXPECT_EQ(clock, Bytes({255, 15, 9, 17, 5, 7, untouched, untouched}));

  for (const Bytes& accepted : {Bytes{59, 59, 23, 31, 12, 99}, Bytes{0, 5, 24, 7, 3, 4}}) {
    Bytes sent = accepted;
    EXPECT_EQ(library().csp2SetTime(sent.data()), result::ok);
    ASSERT_EQ(library().csp2GetTime(clock.data()), result::ok);
    EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 6), accepted);
  }
  for (Bytes refused : {Bytes{60, 0, 0, 1, 1, 9}, Bytes{0, 60, 0, 1, 1, 9}, Bytes{0, 0, 25, 1, 1, 9},
                        Bytes{0, 0, 0, 0, 1, 9}, Bytes{0, 0, 0, 32, 1, 9}, Bytes{0, 0, 0, 1, 0, 9},
                        Bytes{0, 0, 0, 1, 13, 9}, Bytes{0, 0, 0, 1, 1, 100}}) {
    EXPECT_EQ(library().csp2SetTime(refused.data()), result::bad_argument);
  }
  ASSERT_EQ(library().csp2GetTime(clock.data()), result::ok);
  EXPECT_EQ(Bytes(clock.begin(), clock.begin() + 6), Bytes({0, 5, 24, 7, 3, 4}));
}

TEST_F(ClockAndParameters, ARunningClockReadsTheLocalTime) {
  use_device({{"port", 3}, {"clock", {0, 0, 12, 1, 1, 9}}, {"running_clock", true}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  const std::time_t before = std::time(nullptr);
  std::array<std::uint8_t, 6> clock{};
  ASSERT_EQ(library().csp2GetTime(clock.data()), result::ok);
  std::tm read{};
  read.tm_sec = clock[0];
  read.tm_min = clock[1];
  read.tm_hour = clock[2];
  read.tm_mday = clock[3];
  read.tm_mon = clock[4] - 1;
  read.tm_year = clock[5] + 100;
  read.tm_isdst = -1;
  EXPECT_LE(std::abs(std::difftime(std::mktime(&read), before)), 2.0);
}

TEST_F(ClockAndParameters, ParametersAreWrittenReadAndRestored) {
  use_device({{"port", 3}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  const std::int32_t factory = get_param(12);
  std::array<std::uint8_t, 10> value = {static_cast<std::uint8_t>(factory + 1), 0, ' ', ' ', ' ',
                                        ' ', ' ', ' ', ' ', ' '};
  ASSERT_EQ(library().csp2SetParam(12, value.data(), 2), result::ok);
  EXPECT_EQ(get_param(12), factory + 1);
  value[0] = 200;
  ASSERT_EQ(library().csp2SetParam(255, value.data(), 1), result::ok);
  EXPECT_EQ(get_param(255), 200);
  ASSERT_EQ(library().csp2SetDefaults(), result::ok);
  EXPECT_EQ(get_param(12), factory);
  EXPECT_EQ(get_param(255), 0);

  Bytes untouched_value(10, untouched);
  EXPECT_EQ(library().csp2GetParam(256, untouched_value.data(), 10), result::bad_argument);
  EXPECT_EQ(library().csp2GetParam(-1, untouched_value.data(), 10), result::bad_argument);
  EXPECT_EQ(library().csp2GetParam(1, untouched_value.data(), 0), result::bad_argument);
  EXPECT_EQ(untouched_value, Bytes(10, untouched));
  EXPECT_EQ(library().csp2SetParam(256, value.data(), 2), result::bad_argument);
  EXPECT_EQ(library().csp2SetParam(12, value.data(), 0), result::bad_argument);
  EXPECT_EQ(get_param(12), factory);
}

TEST_F(ClockAndParameters, ModesFollowTheirParameters) {
  use_device({{"port", 3}, {"parameters", {{"27", 0}, {"28", 1}}}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  EXPECT_EQ(library().csp2GetRTCMode(), 0);
  EXPECT_EQ(library().csp2GetASCIIMode(), 1);
}

TEST_F(ClockAndParameters, IdentifierAndVersionFillTheirBuffersAndNoMore) {
  use_device({{"port", 3}, {"id", "0AFF00123456789A"}, {"version", "V1.2"}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  Bytes id(10, untouched);
  ASSERT_EQ(library().csp2GetDeviceId(id.data(), 9), result::ok);
  EXPECT_EQ(id, Bytes({0x0A, 0xFF, 0x00, 0x12, 0x34, 0x56, 0x78, 0x9A, 0, untouched}));
  Bytes short_id(10, untouched);
  ASSERT_EQ(library().csp2GetDeviceId(short_id.data(), 3), result::ok);
  EXPECT_EQ(short_id, Bytes({0x0A, 0xFF, 0x00, untouched, untouched, untouched, untouched, untouched,
                             untouched, untouched}));

  Bytes version(12, untouched);
  ASSERT_EQ(library().csp2GetSwVersion(version.data(), 10), result::ok);
  EXPECT_EQ(version, Bytes({'V', '1', '.', '2', 0, 0, 0, 0, 0, 0, untouched, untouched}));
  Bytes cut(12, untouched);
  ASSERT_EQ(library().csp2GetSwVersion(cut.data(), 3), result::ok);
  EXPECT_EQ(Bytes(cut.begin(), cut.begin() + 4), Bytes({'V', '1', '.', untouched}));

  library().csp2Restore();
  use_device({{"port", 3}, {"version", "ABCDEFGHIJ"}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  ASSERT_EQ(library().csp2GetSwVersion(version.data(), 10), result::ok);
  EXPECT_EQ(Bytes(version.begin(), version.begin() + 11), Bytes({'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', untouched}));
}

}  // namespace
}  // namespace vkd::testing
