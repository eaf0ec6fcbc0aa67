#include "automation/text.h"

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "error_number.h"

namespace vkd {
namespace {

TEST(Windows1252, MapsEveryByteToOneCharacter) {
  const struct {
    std::uint8_t byte;
    char16_t expected;
  } cases[] = {
      {0x00, u'\0'},     {0x41, u'A'},      {0x7F, u'\u007F'}, {0x80, u'\u20AC'}, {0x82, u'\u201A'},
      {0x8A, u'\u0160'}, {0x99, u'\u2122'}, {0x9F, u'\u0178'}, {0xA0, u'\u00A0'}, {0xE9, u'\u00E9'},
      {0xFF, u'\u00FF'},
      // The bytes the code page leaves undefined keep their value.
      {0x81, u'\u0081'}, {0x8D, u'\u008D'}, {0x8F, u'\u008F'}, {0x90, u'\u0090'}, {0x9D, u'\u009D'},
  };
  for (const auto& c : cases) EXPECT_EQ(windows_1252_char(c.byte), c.expected) << int{c.byte};
}

TEST(TextFromBytes, KeepsOneCharacterPerByteIncludingNul) {
  const std::array<std::uint8_t, 5> bytes = {'a', 0x00, 0x80, 0xE9, 'z'};
  EXPECT_EQ(text_from_bytes(bytes), (Text{u'a', u'\0', u'\u20AC', u'\u00E9', u'z'}));
  EXPECT_EQ(text_from_bytes({}), Text());
}

TEST(Utf8, RoundTripsEveryKindOfCharacter) {
  const Text texts[] = {
      Text(),        u"plain ASCII", u"caf\u00E9",         u"\u20AC 5",
      u"\U0001F600", u"\uFFFF",      Text(u"a\0b", 3),    u"\u0080\u07FF\u0800\U0010FFFF",
  };
  for (const Text& text : texts) EXPECT_EQ(from_utf8(to_utf8(text)), text);
}

TEST(Utf8, EncodesKnownBytes) {
  EXPECT_EQ(to_utf8(u"\u00E9"), "\xC3\xA9");
  EXPECT_EQ(to_utf8(u"\u20AC"), "\xE2\x82\xAC");
  EXPECT_EQ(to_utf8(u"\U0001F600"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(to_utf8(Text(u"\0", 1)), std::string("\0", 1));
}

TEST(Utf8, LoneSurrogatesBecomeReplacementCharacters) {
  const std::string replacement = "\xEF\xBF\xBD";
  EXPECT_EQ(to_utf8(Text{u'a', 0xD800}), "a" + replacement);
  EXPECT_EQ(to_utf8(Text{0xDC00, u'a'}), replacement + "a");
  EXPECT_EQ(to_utf8(Text{0xD800, u'a'}), replacement + "a");
  EXPECT_EQ(to_utf8(Text{0xDBFF, 0xD800, 0xDC00}), replacement + "\xF0\x90\x80\x80");
}

TEST(Utf8, MalformedInputBecomesReplacementCharacters) {
  const struct {
    std::string utf8;
    Text expected;
  } cases[] = {
      {"\x80", u"\uFFFD"},
      {"a\xFF" "b", u"a\uFFFDb"},
      {"\xC0\xAF", u"\uFFFD\uFFFD"},                      // overlong
      {"\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},            // overlong
      {"\xE2\x82", u"\uFFFD"},                            // cut short
      {"\xE2\x82" "a", u"\uFFFDa"},                       // cut short, then more text
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},            // an encoded surrogate
      {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},  // beyond U+10FFFF
      {"\xF0\x9F\x98", u"\uFFFD"},
  };
  for (const auto& c : cases) EXPECT_EQ(from_utf8(c.utf8), c.expected) << c.utf8;
}

TEST(Mid, CutsToWhatExists) {
  const Text text = u"abcdef";
  EXPECT_EQ(mid(text, 1, 2), u"ab");
  EXPECT_EQ(mid(text, 3, 2), u"cd");
  EXPECT_EQ(mid(text, 5, 10), u"ef");
  EXPECT_EQ(mid(text, 6, 1), u"f");
  EXPECT_EQ(mid(text, 7, 1), u"");
  EXPECT_EQ(mid(text, 100, 0), u"");
  EXPECT_EQ(mid(text, 2, 0), u"");
  EXPECT_EQ(mid(Text(u"a\0b", 3), 2, 2), Text(u"\0b", 2));
  EXPECT_EQ(left(text, 3), u"abc");
  EXPECT_EQ(left(text, 0), u"");
  EXPECT_EQ(left(text, 50), text);
}

TEST(Mid, ImpossiblePositionsAreInvalidProcedureCalls) {
  using testing::error_number_of;
  const Text text = u"abc";
  EXPECT_EQ(error_number_of([&] { mid(text, 0, 1); }), 5);
  EXPECT_EQ(error_number_of([&] { mid(text, -3, 1); }), 5);
  EXPECT_EQ(error_number_of([&] { mid(text, 1, -1); }), 5);
  EXPECT_EQ(error_number_of([&] { mid(Text(), 0, 0); }), 5);
  EXPECT_EQ(error_number_of([&] { left(text, -1); }), 5);
}

}  // namespace
}  // namespace vkd
