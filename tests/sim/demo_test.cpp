// The built-in scanner served when no device file is named.
#include <set>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class Demo : public SimTest {};

TEST_F(Demo, AnswersOnPortThreeWithADozenBarcodesOfSeveralTypes) {
  use_demo();
  EXPECT_EQ(library().csp2Init(0), result::no_scanner);
  ASSERT_EQ(open_and_read(3), 12);
  std::set<int> types;
  for (std::int32_t record = 0; record < 12; ++record) {
    Bytes packet(500, untouched);
    const std::int32_t size = library().csp2GetPacket(packet.data(), record, 500);
    ASSERT_GT(size, 6);
    types.insert(packet[1]);
    Bytes text(30, untouched);
    ASSERT_EQ(library().csp2TimeStamp2Str(packet.data() + size - 4, text.data(), 30), result::ok);
    EXPECT_EQ(std::string(text.begin() + 11, text.begin() + 21), "  05/0" + std::string(1, text[17]) + "/09");
  }
  EXPECT_GE(types.size(), 4u);
}

TEST_F(Demo, ChangesLastAsLongAsTheLibraryServesTheDemo) {
  use_demo();
  ASSERT_EQ(open_and_read(3), 12);
  ASSERT_EQ(library().csp2ClearData(), result::ok);
  library().csp2Restore();
  EXPECT_EQ(open_and_read(3), 0);
  library().csp2Restore();
  use_demo();
  EXPECT_EQ(open_and_read(3), 12);
}

}  // namespace
}  // namespace vkd::testing
