#include "automation/mask.h"

#include <gtest/gtest.h>

#include <limits>

namespace vkd {
namespace {

TEST(Decimal, PlainSignedDecimal) {
  EXPECT_EQ(decimal(0), u"0");
  EXPECT_EQ(decimal(-1), u"-1");
  EXPECT_EQ(decimal(32767), u"32767");
  EXPECT_EQ(decimal(std::numeric_limits<std::int64_t>::min()), u"-9223372036854775808");
}

TEST(ZeroFilled, FillsToTheWidthAndGrowsBeyondIt) {
  const struct {
    std::int64_t number;
    int digits;
    Text expected;
  } cases[] = {
      {7, 2, u"07"},
      {0, 2, u"00"},
      {12, 2, u"12"},
      {123, 2, u"123"},
      {200, 2, u"200"},
      {255, 2, u"255"},
      {-5, 4, u"-0005"},
      {-3, 2, u"-03"},
      {-123, 2, u"-123"},
      {5, 1, u"5"},
      {42, 6, u"000042"},
      {575313010509, 12, u"575313010509"},
      {std::numeric_limits<std::int64_t>::min(), 2, u"-9223372036854775808"},
  };
  for (const auto& c : cases) EXPECT_EQ(zero_filled(c.number, c.digits), c.expected) << c.number;
}

// The writers fill exactly the length they count, and nothing past it.
template <class Write>
Text written(std::size_t length, Write write) {
  Text text(length + 1, u'#');
  EXPECT_EQ(write(text.data()), text.data() + length);
  EXPECT_EQ(text.back(), u'#');
  text.pop_back();
  return text;
}

Text left_aligned(std::u16string_view text, int width) {
  return written(left_aligned_length(text, width), [&](char16_t* at) { return write_left_aligned(at, text, width); });
}

Text yyyymmddhhnnss(Date date) {
  return written(yyyymmddhhnnss_length, [&](char16_t* at) { return write_yyyymmddhhnnss(at, date); });
}

TEST(LeftAligned, PadsWithBlanksAndKeepsLongerTextWhole) {
  EXPECT_EQ(left_aligned(u"ab", 4), u"ab  ");
  EXPECT_EQ(left_aligned(u"", 3), u"   ");
  EXPECT_EQ(left_aligned(u"abcd", 4), u"abcd");
  EXPECT_EQ(left_aligned(u"abcdef", 4), u"abcdef");
  EXPECT_EQ(left_aligned(std::u16string_view(u"a\0", 2), 3), Text(u"a\0 ", 3));
  EXPECT_EQ(left_aligned(u"x", 0), u"x");
}

TEST(TimeMasks, HoursMinutesSeconds) {
  EXPECT_EQ(hhmmss(0), u"000000");
  EXPECT_EQ(hhmmss(52215), u"143015");
  EXPECT_EQ(hhmmss(86399), u"235959");
  EXPECT_EQ(hhmmss(3600 + 2 * 60 + 3), u"010203");
}

TEST(TimeMasks, FullDateAndTime) {
  EXPECT_EQ(yyyymmddhhnnss(Date{0.0}), u"18991230000000");
  EXPECT_EQ(yyyymmddhhnnss(Date{39219.0 + 52215.0 / 86400}), u"20070517143015");
  EXPECT_EQ(yyyymmddhhnnss(Date{-1.25}), u"18991229060000");
  EXPECT_EQ(yyyymmddhhnnss(Date{-657434.0}), u"01000101000000");
  EXPECT_EQ(yyyymmddhhnnss(Date{2958465.0 + 86399.0 / 86400}), u"99991231235959");
}

TEST(AppendingMasks, WriteAfterWhatTheTextHolds) {
  Text text = u"V01";
  append_zero_filled(text, -5, 4);
  append_decimal(text, 12);
  EXPECT_EQ(text, u"V01-000512");
}

TEST(Hex, TwoDigitsAndPrefixed) {
  const std::pair<std::uint8_t, Text> bytes[] = {{0, u"00"}, {10, u"0A"}, {16, u"10"}, {255, u"FF"}};
  for (const auto& [byte, expected] : bytes) EXPECT_EQ(hex_byte(byte), expected);
  const std::pair<std::int32_t, Text> numbers[] = {
      {0, u"0x0"}, {10, u"0xA"}, {255, u"0xFF"}, {0x1234, u"0x1234"}, {0x7FFFFFFF, u"0x7FFFFFFF"}};
  for (const auto& [number, expected] : numbers) EXPECT_EQ(hex_0x(number), expected);
}

}  // namespace
}  // namespace vkd
