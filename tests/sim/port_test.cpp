// The port rules: the scanner's port opens for one holder at a time, every other port
// has nothing on it, and scanner commands need the open port.
#include <array>
#include <functional>
#include <limits>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class Ports : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    use_device({{"port", 5}, {"barcodes", {barcode(28, "40012345")}}});
  }
};

TEST_F(Ports, TheScannersPortIsHeldUntilReleased) {
  EXPECT_EQ(library().csp2Init(5), result::ok);
  EXPECT_EQ(library().csp2Init(5), result::port_in_use);
  EXPECT_EQ(library().csp2Init(5), result::port_in_use);
  EXPECT_EQ(library().csp2Restore(), result::ok);
  EXPECT_EQ(library().csp2Init(5), result::ok);
}

TEST_F(Ports, EveryOtherPortHasNothingOnIt) {
  for (const bool held : {false, true}) {
    if (held) {
      ASSERT_EQ(library().csp2Init(5), result::ok);
    }
    for (const std::int32_t port : {0, 1, 3, 4, 6, 15, 16, -1, -5, 1000,
                                    std::numeric_limits<std::int32_t>::min(),
                                    std::numeric_limits<std::int32_t>::max()}) {
      EXPECT_EQ(library().csp2Init(port), result::no_scanner) << "port " << port << " held " << held;
    }
  }
}

TEST_F(Ports, ScannerCommandsNeedTheOpenPort) {
  std::array<std::uint8_t, 10> buffer{};
  const std::vector<std::pair<const char*, std::function<std::int32_t()>>> commands = {
      {"csp2WakeUp", [] { return library().csp2WakeUp(); }},
      {"csp2PowerDown", [] { return library().csp2PowerDown(); }},
      {"csp2Interrogate", [] { return library().csp2Interrogate(); }},
      {"csp2ReadData", [] { return library().csp2ReadData(); }},
      {"csp2ClearData", [] { return library().csp2ClearData(); }},
      {"csp2GetSystemStatus", [] { return library().csp2GetSystemStatus(); }},
      {"csp2GetProtocol", [] { return library().csp2GetProtocol(); }},
      {"csp2GetASCIIMode", [] { return library().csp2GetASCIIMode(); }},
      {"csp2GetRTCMode", [] { return library().csp2GetRTCMode(); }},
      {"csp2GetDeviceId", [&] { return library().csp2GetDeviceId(buffer.data(), 9); }},
      {"csp2GetTime", [&] { return library().csp2GetTime(buffer.data()); }},
      {"csp2SetTime", [&] { return library().csp2SetTime(buffer.data()); }},
      {"csp2GetParam", [&] { return library().csp2GetParam(1, buffer.data(), 10); }},
      {"csp2SetParam", [&] { return library().csp2SetParam(1, buffer.data(), 2); }},
  };
  // Never opened, then opened elsewhere, then released.
  EXPECT_EQ(library().csp2Init(4), result::no_scanner);
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, command] : commands) {
      buffer.fill(untouched);
      EXPECT_EQ(command(), result::port_not_open) << name;
      EXPECT_EQ(buffer[0], untouched) << name;
    }
    ASSERT_EQ(library().csp2Init(5), result::ok);
    EXPECT_EQ(library().csp2ReadData(), 1);  // the file still holds its barcode
    EXPECT_GE(library().csp2GetSystemStatus(), 0);
    EXPECT_GE(library().csp2GetProtocol(), 0);
    EXPECT_GE(library().csp2GetASCIIMode(), 0);
    EXPECT_GE(library().csp2GetRTCMode(), 0);
    EXPECT_EQ(library().csp2WakeUp(), result::ok);
    EXPECT_EQ(library().csp2Interrogate(), result::ok);
    EXPECT_EQ(library().csp2PowerDown(), result::ok);
    library().csp2Restore();
  }
}

TEST_F(Ports, VersionDefaultsAndTimeStampTextNeedNoPort) {
  ASSERT_EQ(library().csp2Init(4), result::no_scanner);
  std::array<std::uint8_t, 10> version{};
  EXPECT_EQ(library().csp2GetSwVersion(version.data(), 10), result::ok);
  EXPECT_NE(version[0], 0);
  EXPECT_EQ(library().csp2SetDefaults(), result::ok);
  std::array<std::uint8_t, 4> stamp{};
  std::array<std::uint8_t, 30> text{};
  EXPECT_EQ(library().csp2TimeStamp2Str(stamp.data(), text.data(), 30), result::ok);
}

}  // namespace
}  // namespace vkd::testing

namespace vkd::testing {
namespace {

// A scanner lifted from its cradle answers on no port; barcodes scanned meanwhile are
// there once it is back, and an erase keeps its docking as it stands.
TEST_F(Ports, AScannerOutOfItsCradleAnswersNowhereUntilItIsBack) {
  json device = device_file();
  device["docked"] = false;
  use_device(device);
  EXPECT_EQ(library().csp2Init(5), result::no_scanner);

  device["barcodes"].push_back(barcode(3, "8712345678906"));
  device["docked"] = true;
  use_device(device);
  EXPECT_EQ(open_and_read(5), 2);
  EXPECT_EQ(library().csp2ClearData(), result::ok);
  EXPECT_EQ(library().csp2Restore(), result::ok);
  EXPECT_EQ(device_file()["docked"], true);
  EXPECT_EQ(device_file()["barcodes"], json::array());
}

TEST_F(Ports, DockedIsTrueOrFalse) {
  use_device({{"port", 5}, {"docked", "no"}});
  EXPECT_EQ(library().csp2Init(5), result::device_unusable);
}

}  // namespace
}  // namespace vkd::testing
