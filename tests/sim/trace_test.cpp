// The trace file: one line per call with its arguments, buffers in hex, and its result.
#include <array>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

std::string hex(std::string_view bytes) {
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string text;
  for (const unsigned char byte : bytes) text += {digits[byte >> 4], digits[byte & 15]};
  return text;
}

class Trace : public SimTest {};

TEST_F(Trace, EveryCallIsOneLine) {
  use_device({{"port", 3},
              {"clock", {5, 10, 11, 12, 1, 14}},
              {"barcodes", {{{"type", 7}, {"text", "AB"}, {"stamp", "FFFFFFFF"}}}},
              {"script", {{{"call", "csp2ClearData"}, {"result", 2}}}}});
  Bytes packet(500);
  std::array<std::uint8_t, 4> stamp = {0xFF, 0xFF, 0xFF, 0xFF};
  std::array<std::uint8_t, 30> text{};
  std::array<std::uint8_t, 10> value = {9, 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  std::array<std::uint8_t, 6> clock{};
  library().csp2Init(4);
  library().csp2Init(3);
  library().csp2ReadData();
  library().csp2GetPacket(packet.data(), 0, 500);
  library().csp2TimeStamp2Str(stamp.data(), text.data(), 30);
  library().csp2SetParam(12, value.data(), 2);
  library().csp2GetTime(clock.data());
  library().csp2ClearData();
  library().csp2GetPacket(packet.data(), 5, 500);
  library().csp2Restore();

  const std::vector<std::string> expected = {
      "csp2Init port=4 result=-1",
      "csp2Init port=3 result=0",
      "csp2ReadData result=1",
      "csp2GetPacket record=0 length=500 packet=07074142FFFFFFFF result=8",
      "csp2TimeStamp2Str stamp=FFFFFFFF length=30 text=" + hex(std::string("??:63:63 ??  ?\?/31/63") + '\0') +
          " result=0",
      "csp2SetParam parameter=12 value=0900 length=2 result=0",
      "csp2GetTime clock=050A0B0C010E result=0",
      "csp2ClearData result=2 scripted",
      "csp2GetPacket record=5 length=500 result=-2",
      "csp2Restore result=0",
  };
  EXPECT_EQ(trace_lines(), expected);
}

TEST_F(Trace, TheTraceFollowsTheVariableAtEachInit) {
  use_device({{"port", 3}});
  library().csp2Init(3);
  const fs::path other = folder_ / "other.txt";
  ::setenv("CSP2A_TRACE", other.c_str(), 1);
  library().csp2Restore();  // not an csp2Init: still the first file
  library().csp2Init(3);
  ::unsetenv("CSP2A_TRACE");
  library().csp2Restore();
  library().csp2Init(3);  // traced nowhere
  EXPECT_EQ(trace_lines(), std::vector<std::string>({"csp2Init port=3 result=0", "csp2Restore result=0"}));
  EXPECT_EQ(read_text(other), "csp2Init port=3 result=0\ncsp2Restore result=0\n");
}

}  // namespace
}  // namespace vkd::testing
