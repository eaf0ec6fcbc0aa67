// The 4-byte time stamps and their text: the time of day in the first 11 characters, the
// date as MM/DD/YY further on, and unknown fields as "63" or "??".
#include <algorithm>
#include <array>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

using Stamp = std::array<std::uint8_t, 4>;

// The library's packing, least significant byte first: second 6 bits, minute 6, hour 5,
// day 5, month 4, year since 2000 6.
Stamp stamp(unsigned second, unsigned minute, unsigned hour, unsigned day, unsigned month, unsigned year) {
  const std::uint32_t v = second | minute << 6 | hour << 12 | day << 17 | month << 22 | year << 26;
  return {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
          static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
}

class TimeStamps : public SimTest {
 protected:
  void SetUp() override {
    SimTest::SetUp();
    use_device({{"port", 3}});
    library().csp2Init(3);
  }

  std::string text_of(Stamp bytes) {
    Bytes buffer(30, untouched);
    EXPECT_EQ(library().csp2TimeStamp2Str(bytes.data(), buffer.data(), 30), result::ok);
    const auto end = std::find(buffer.begin(), buffer.end(), 0);
    EXPECT_NE(end, buffer.end()) << "no terminating NUL";
    EXPECT_TRUE(std::all_of(end + 1, buffer.end(), [](std::uint8_t b) { return b == untouched; }));
    return std::string(buffer.begin(), end);
  }
};

TEST_F(TimeStamps, KnownAndUnknownFields) {
  const struct {
    Stamp stamp;
    const char* text;
  } cases[] = {
      {stamp(15, 30, 14, 17, 5, 7), "02:30:15 PM  05/17/07"},
      {stamp(0, 0, 0, 1, 1, 0), "12:00:00 AM  01/01/00"},
      {stamp(0, 0, 12, 29, 2, 8), "12:00:00 PM  02/29/08"},
      {stamp(59, 59, 23, 31, 12, 63), "11:59:59 PM  12/31/63"},
      {stamp(63, 30, 14, 17, 5, 7), "02:30:63 PM  05/17/07"},
      {stamp(60, 30, 14, 17, 5, 7), "02:30:63 PM  05/17/07"},
      {stamp(15, 63, 14, 17, 5, 7), "02:63:15 PM  05/17/07"},
      {stamp(15, 30, 24, 17, 5, 7), "??:30:15 ??  05/17/07"},
      {stamp(15, 30, 14, 0, 5, 7), "02:30:15 PM  05/?\?/07"},
      {stamp(15, 30, 14, 17, 0, 7), "02:30:15 PM  ?\?/17/07"},
      {stamp(15, 30, 14, 17, 13, 7), "02:30:15 PM  ?\?/17/07"},
      {{0xFF, 0xFF, 0xFF, 0xFF}, "??:63:63 ??  ?\?/31/63"},
      {{0x00, 0x00, 0x00, 0x00}, "12:00:00 AM  ?\?/?\?/00"},
  };
  for (const auto& c : cases) EXPECT_EQ(text_of(c.stamp), c.text);
}

TEST_F(TimeStamps, ADateAndTimeInTheDeviceFileIsPackedIntoTheRecord) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345", "2007-05-17T14:30:15"),
                                         barcode(28, "40012345", "2063-12-31T23:59:59")}}});
  library().csp2Restore();
  ASSERT_EQ(open_and_read(), 2);
  const Stamp expected[] = {stamp(15, 30, 14, 17, 5, 7), stamp(59, 59, 23, 31, 12, 63)};
  for (std::int32_t record = 0; record < 2; ++record) {
    Bytes buffer(500, untouched);
    ASSERT_EQ(library().csp2GetPacket(buffer.data(), record, 500), 14);
    EXPECT_TRUE(std::equal(buffer.begin() + 10, buffer.begin() + 14, expected[record].begin()));
  }
}

TEST_F(TimeStamps, TheTextIsCutToTheBufferAndAlwaysEndsInNul) {
  Stamp bytes = stamp(15, 30, 14, 17, 5, 7);
  Bytes buffer(30, untouched);
  ASSERT_EQ(library().csp2TimeStamp2Str(bytes.data(), buffer.data(), 12), result::ok);
  EXPECT_EQ(std::string(buffer.begin(), buffer.begin() + 12), std::string("02:30:15 PM") + '\0');
  EXPECT_EQ(buffer[12], untouched);

  Bytes single(2, untouched);
  ASSERT_EQ(library().csp2TimeStamp2Str(bytes.data(), single.data(), 1), result::ok);
  EXPECT_EQ(single, Bytes({0, untouched}));
  EXPECT_EQ(library().csp2TimeStamp2Str(bytes.data(), single.data(), 0), result::bad_argument);
  EXPECT_EQ(library().csp2TimeStamp2Str(nullptr, single.data(), 2), result::bad_argument);
  EXPECT_EQ(single, Bytes({0, untouched}));
}

}  // namespace
}  // namespace vkd::testing
