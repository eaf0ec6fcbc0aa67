// The records the library takes in with csp2ReadData and hands out with csp2GetPacket.
#include "sim_fixture.h"

namespace vkd::testing {
namespace {

struct RecordCase {
  const char* name;
  json barcode;
  Bytes text;  // the bytes the record must carry
};

class Records : public SimTest {};

TEST_F(Records, EachRecordIsLengthTypeTextAndStampAndNothingMore) {
  const std::string longest(250, 'Z');
  const std::vector<RecordCase> cases = {
      {"eight digits", barcode(28, "40012345"), bytes_of("40012345")},
      {"empty text", barcode(1, ""), {}},
      {"longest text", barcode(3, longest), bytes_of(longest)},
      {"raw bytes", {{"type", 255}, {"text_hex", "00FF7F80"}, {"stamp", "01020304"}}, {0x00, 0xFF, 0x7F, 0x80}},
      {"UTF-8 text", barcode(3, "\xC3\x84-1"), {0xC3, 0x84, '-', '1'}},
  };
  json barcodes = json::array();
  for (const RecordCase& c : cases) barcodes.push_back(c.barcode);
  use_device({{"port", 3}, {"barcodes", barcodes}});
  ASSERT_EQ(open_and_read(), static_cast<std::int32_t>(cases.size()));

  for (std::size_t i = 0; i < cases.size(); ++i) {
    SCOPED_TRACE(cases[i].name);
    Bytes buffer(500, untouched);
    const std::size_t size = cases[i].text.size() + 6;
    EXPECT_EQ(library().csp2GetPacket(buffer.data(), static_cast<std::int32_t>(i), 500),
              static_cast<std::int32_t>(size));
    EXPECT_EQ(buffer[0], size - 1);
    EXPECT_EQ(buffer[1], cases[i].barcode["type"].get<int>());
    EXPECT_EQ(Bytes(buffer.begin() + 2, buffer.begin() + 2 + static_cast<long>(cases[i].text.size())),
              cases[i].text);
    EXPECT_EQ(buffer[size], untouched);
  }
  Bytes buffer(500, untouched);
  ASSERT_EQ(library().csp2GetPacket(buffer.data(), 3, 500), 10);
  EXPECT_EQ(Bytes(buffer.begin() + 6, buffer.begin() + 10), Bytes({0x01, 0x02, 0x03, 0x04}));
}

TEST_F(Records, NoRecordPastTheLastBeforeAnyReadOrInABufferTooSmall) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345"), barcode(28, "40012346")}}});
  ASSERT_EQ(library().csp2Init(3), result::ok);
  Bytes buffer(500, untouched);
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 0, 500), result::no_record);  // nothing read yet
  ASSERT_EQ(library().csp2ReadData(), 2);
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 2, 500), result::no_record);
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), -1, 500), result::no_record);
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 0, 13), result::bad_argument);  // needs 14
  EXPECT_EQ(library().csp2GetPacket(nullptr, 0, 500), result::bad_argument);
  EXPECT_EQ(buffer, Bytes(500, untouched));
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 1, 14), 14);
}

TEST_F(Records, TakenRecordsStayWithTheLibraryAfterErasingAndRelease) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  ASSERT_EQ(open_and_read(), 1);
  EXPECT_EQ(library().csp2ClearData(), result::ok);
  EXPECT_EQ(library().csp2Restore(), result::ok);
  Bytes buffer(500, untouched);
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 0, 500), 14);
  ASSERT_EQ(open_and_read(), 0);  // a new read takes in the empty memory
  EXPECT_EQ(library().csp2GetPacket(buffer.data(), 0, 500), result::no_record);
}

TEST_F(Records, FortyThousandBarcodesAreAllCounted) {
  json barcodes = json::array();
  for (int i = 0; i < 40000; ++i) barcodes.push_back(barcode(22, std::to_string(4006381000000 + i)));
  use_device({{"port", 3}, {"barcodes", barcodes}});
  ASSERT_EQ(open_and_read(), 40000);
  Bytes buffer(500, untouched);
  ASSERT_EQ(library().csp2GetPacket(buffer.data(), 39999, 500), 19);
  EXPECT_EQ(std::string(buffer.begin() + 2, buffer.begin() + 15), "4006381039999");
}

}  // namespace
}  // namespace vkd::testing
