// Results scripted in the device file stand in for the device's own answers.
#include <array>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class Script : public SimTest {};

TEST_F(Script, AnOccurrenceAnswersInsteadOfTheDevice) {
  use_device({{"port", 3},
              {"barcodes", {barcode(28, "40012345"), barcode(28, "40012346")}},
              {"script",
               {{{"call", "csp2ClearData"}, {"occurrence", 1}, {"result", 2}},
                {{"call", "csp2ClearData"}, {"occurrence", 2}, {"result", -9}}}}});
  ASSERT_EQ(open_and_read(), 2);
  // Scripted refusals erase nothing; the third call is the device's own.
  EXPECT_EQ(library().csp2ClearData(), 2);
  EXPECT_EQ(library().csp2ReadData(), 2);
  EXPECT_EQ(library().csp2ClearData(), -9);
  EXPECT_EQ(library().csp2ReadData(), 2);
  EXPECT_EQ(library().csp2ClearData(), result::ok);
  EXPECT_EQ(library().csp2ReadData(), 0);
}

TEST_F(Script, AnArgumentNarrowsTheEntryToOnePortRecordOrParameter) {
  use_device({{"port", 3},
              {"barcodes", {barcode(28, "40012345"), barcode(28, "40012346")}},
              {"parameters", {{"13", 1}}},
              {"script",
               {{{"call", "csp2Init"}, {"port", 0}, {"result", -4}},
                {{"call", "csp2GetPacket"}, {"record", 1}, {"result", -3}},
                {{"call", "csp2GetParam"}, {"parameter", 12}, {"result", 0}, {"bytes", "2A"}}}}});
  EXPECT_EQ(library().csp2Init(0), -4);
  EXPECT_EQ(library().csp2Init(1), result::no_scanner);
  ASSERT_EQ(open_and_read(), 2);
  Bytes packet(500, untouched);
  EXPECT_EQ(library().csp2GetPacket(packet.data(), 1, 500), -3);
  EXPECT_EQ(packet[0], untouched);
  EXPECT_EQ(library().csp2GetPacket(packet.data(), 0, 500), 14);
  std::array<std::uint8_t, 10> value{};
  EXPECT_EQ(library().csp2GetParam(12, value.data(), 10), result::ok);
  EXPECT_EQ(value[0], 42);
  EXPECT_EQ(library().csp2GetParam(13, value.data(), 10), result::ok);
  EXPECT_EQ(value[0], 1);
}

TEST_F(Script, ScriptedBytesNeverGoPastTheBuffer) {
  use_device({{"port", 3},
              {"script",
               {{{"call", "csp2GetTime"}, {"result", 0}, {"bytes", "FF0F0911050799AA"}},
                {{"call", "csp2GetSwVersion"}, {"result", 0}, {"bytes", "4142434445"}}}}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  Bytes clock(8, untouched);
  EXPECT_EQ(library().csp2GetTime(clock.data()), result::ok);
  EXPECT_EQ(clock, Bytes({0xFF, 0x0F, 0x09, 0x11, 0x05, 0x07, untouched, untouched}));
  Bytes version(10, untouched);
  EXPECT_EQ(library().csp2GetSwVersion(version.data(), 3), result::ok);
  EXPECT_EQ(version, Bytes({'A', 'B', 'C', untouched, untouched, untouched, untouched, untouched,
                            untouched, untouched}));
}

TEST_F(Script, OccurrencesCountAfreshWhenTheFileIsReadAgain) {
  const json device = {{"port", 3},
                       {"script", {{{"call", "csp2Init"}, {"occurrence", 1}, {"result", -8}}}}};
  use_device(device);
  EXPECT_EQ(library().csp2Init(3), -8);
  EXPECT_EQ(library().csp2Init(3), result::ok);
  library().csp2Restore();
  json changed = device;
  changed["version"] = "NEW";
  use_device(changed);
  EXPECT_EQ(library().csp2Init(3), -8);
}

}  // namespace
}  // namespace vkd::testing
