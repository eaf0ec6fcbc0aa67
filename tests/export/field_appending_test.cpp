// The appending forms of the masks must write exactly what the platform masks give.
#include "export/field_appending.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "automation/mask.h"
#include "export_state.h"

namespace vkd::testing {
namespace {

constexpr std::int64_t numbers[] = {0,     1,      7,     -5,     42,    -3,
                                    100,   999,    1000,  9999,   10000, 32767,
                                    -32768, std::numeric_limits<std::int64_t>::max(),
                                    std::numeric_limits<std::int64_t>::min()};

TEST(FieldAppending, NumbersAgreeWithTheMasks) {
  for (const std::int64_t number : numbers) {
    SCOPED_TRACE(number);
    Text text = u"x";
    append_decimal(text, number);
    EXPECT_EQ(text, u"x" + decimal(number));
    for (const int digits : {1, 2, 3, 4, 12}) {
      text = u"x";
      append_zero_filled(text, number, digits);
      EXPECT_EQ(text, u"x" + zero_filled(number, digits)) << digits << " digits";
    }
  }
}

TEST(FieldAppending, TextsAgreeWithTheMask) {
  for (const Text& value : {Text(), Text(u"A"), Text(u"12345678"), Text(u"8712345678906"),
                            Text(u"ABCDEFGHIJKLMNOPQ"), Text(u"\0\0", 2)}) {
    for (const int width : {1, 13, 16}) {
      Text text = u"x";
      append_left_aligned(text, value, width);
      EXPECT_EQ(text, u"x" + left_aligned(value, width)) << width;
    }
  }
}

TEST(FieldAppending, DatesAgreeWithTheMask) {
  for (const Date date : {Date{0.0}, Date{-1.25}, at(2009, 5, 1, 13, 53, 57), at(1999, 11, 30, 0, 0, 0),
                          at(100, 1, 1, 0, 0, 0), at(9999, 12, 31, 23, 59, 59), Date{39934.999999}}) {
    Text text = u"x";
    append_yyyymmddhhnnss(text, date);
    EXPECT_EQ(text, u"x" + yyyymmddhhnnss(date)) << date.value;
  }
}

}  // namespace
}  // namespace vkd::testing
