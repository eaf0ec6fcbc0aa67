#include "automation/number_reading.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "error_number.h"

namespace vkd {
namespace {

using testing::error_number_of;

TEST(LenientNumber, TakesTheLeadingNumber) {
  const std::pair<Text, double> cases[] = {
      {u"", 0},     {u"7", 7},      {u" 7", 7},      {u"7a", 7},      {u"ab", 0},        {u"-5", -5},
      {u"+5", 5},   {u"1.5", 1.5},  {u"1e1", 10},    {u"1E+2", 100},  {u"25e-1", 2.5},   {u"+", 0},
      {u"-", 0},    {u".", 0},      {u".5", 0.5},    {u"5.", 5},      {u"1e", 1},        {u"1e+", 1},
      {u"1.2.3", 1.2}, {u"--5", 0}, {u"07", 7},      {u"  -3x", -3},  {u"\t4", 4},       {u"1 2", 1},
      {u"1e-400", 0},  {u"0e999", 0}, {u"?5", 0},
  };
  for (const auto& [field, expected] : cases) EXPECT_EQ(lenient_number(field), expected) << to_utf8(field);
}

TEST(StrictNumber, TheWholeFieldMustBeANumber) {
  const std::pair<Text, double> valid[] = {
      {u"7", 7},   {u" 7 ", 7},   {u"-5", -5},   {u"+3", 3},    {u"1.5", 1.5},
      {u"1e1", 10}, {u"5.", 5},   {u".5", 0.5},  {u"00012", 12}, {u"1e-400", 0},
  };
  for (const auto& [field, expected] : valid) EXPECT_EQ(strict_number(field), expected) << to_utf8(field);
  const Text mismatches[] = {u"", u" ", u"7a", u"ab", u"+", u"-", u".", u"1e", u"1e+", u"1 2",
                             u"1.2.3", u"--5", u"0x10", Text(u"7\0", 2)};
  for (const Text& field : mismatches) {
    EXPECT_EQ(error_number_of([&] { strict_number(field); }), 13) << to_utf8(field);
  }
}

TEST(NumberReading, BeyondTheRangeOfADoubleIsOverflow) {
  const Text fields[] = {u"1e400", u"-1e400", u"1" + Text(400, u'0'), u"0.001e99999999999999999999",
                         u"1e9223372036854775807"};
  for (const Text& field : fields) {
    EXPECT_EQ(error_number_of([&] { lenient_number(field); }), 6) << to_utf8(field);
    EXPECT_EQ(error_number_of([&] { strict_number(field); }), 6) << to_utf8(field);
  }
  EXPECT_EQ(strict_number(u"1e-99999999999999999999"), 0.0);
  EXPECT_EQ(strict_number(u"0.0001e-9223372036854775808"), 0.0);
}

TEST(RoundHalfEven, TiesGoToTheEvenNeighbour) {
  const std::pair<double, double> cases[] = {
      {0.5, 0},  {1.5, 2},    {2.5, 2},   {3.5, 4},    {-0.5, 0}, {-1.5, -2}, {-2.5, -2},
      {2.4, 2},  {2.6, 3},    {-2.6, -3}, {-2.4, -2},  {7, 7},    {32766.5, 32766}, {32767.5, 32768},
  };
  for (const auto& [number, expected] : cases) EXPECT_EQ(round_half_even(number), expected) << number;
}

TEST(IntegerConversion, OverflowsAtTheTypeBoundaries) {
  EXPECT_EQ(to_int16(32767.0), 32767);
  EXPECT_EQ(to_int16(32767.4), 32767);
  EXPECT_EQ(to_int16(32766.5), 32766);
  EXPECT_EQ(to_int16(-32768.0), -32768);
  EXPECT_EQ(to_int16(-32768.5), -32768);
  EXPECT_EQ(to_int32(2147483647.0), 2147483647);
  EXPECT_EQ(to_int32(-2147483648.5), std::numeric_limits<std::int32_t>::min());
  EXPECT_EQ(to_int32(32768.0), 32768);

  const double int16_overflows[] = {32767.5, 32768.0, -32768.6, -32769.0};
  for (double number : int16_overflows) EXPECT_EQ(error_number_of([&] { to_int16(number); }), 6) << number;
  const double int32_overflows[] = {2147483647.5, 2147483648.0, -2147483649.0, 1e300};
  for (double number : int32_overflows) EXPECT_EQ(error_number_of([&] { to_int32(number); }), 6) << number;

  const double not_numbers[] = {std::nan(""), std::numeric_limits<double>::infinity(),
                                -std::numeric_limits<double>::infinity()};
  for (double number : not_numbers) {
    EXPECT_EQ(error_number_of([&] { to_int16(number); }), 6);
    EXPECT_EQ(error_number_of([&] { to_int32(number); }), 6);
  }
}

}  // namespace
}  // namespace vkd
