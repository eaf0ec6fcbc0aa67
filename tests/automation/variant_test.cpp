#include "automation/variant.h"

#include <gtest/gtest.h>

#include "error_number.h"

namespace vkd {
namespace {

using testing::error_number_of;

constexpr double may_17_2007 = 39219.0;
constexpr double half_past_two_pm = 52215.0 / 86400;  // 14:30:15

TEST(ToText, FollowsTheConversionRulesOfEachSubtype) {
  const std::pair<Variant, Text> cases[] = {
      {Variant(), u""},
      {Variant(std::int16_t{-5}), u"-5"},
      {Variant(std::int32_t{70000}), u"70000"},
      {Variant(true), u"True"},
      {Variant(false), u"False"},
      {Variant(Text(u"a\0b", 3)), Text(u"a\0b", 3)},
      {Variant(Date{may_17_2007}), u"5/17/2007"},
  };
  for (const auto& [variant, expected] : cases) EXPECT_EQ(to_text(variant), expected);
  EXPECT_EQ(error_number_of([] { to_text(Variant::null()); }), 13);
  EXPECT_EQ(error_number_of([] { to_text(Variant(ObjectValue{})); }), 13);
}

TEST(ToText, DoublesHaveAtMostFifteenSignificantDigits) {
  const std::pair<double, Text> cases[] = {
      {0.0, u"0"},
      {-0.0, u"0"},
      {1.5, u"1.5"},
      {-2.25, u"-2.25"},
      {0.1 + 0.2, u"0.3"},
      {1.0 / 3, u"0.333333333333333"},
      {2.0 / 3, u"0.666666666666667"},
      {123456789012345.0, u"123456789012345"},
      {1234567890123456.0, u"1.23456789012346E+15"},
      {1e15, u"1E+15"},
      {1e20, u"1E+20"},
      {1.5e-7, u"1.5E-07"},
      {0.0001, u"0.0001"},
      {0.00001, u"1E-05"},
      {1e100, u"1E+100"},
      {-1e-100, u"-1E-100"},
  };
  for (const auto& [number, expected] : cases) EXPECT_EQ(to_text(Variant(number)), expected) << number;
}

TEST(DateText, ShowsTheDatePartTheTimePartOrBoth) {
  const std::pair<double, Text> cases[] = {
      {0.0, u"12:00:00 AM"},
      {0.5, u"12:00:00 PM"},
      {half_past_two_pm, u"2:30:15 PM"},
      {may_17_2007, u"5/17/2007"},
      {may_17_2007 + half_past_two_pm, u"5/17/2007 2:30:15 PM"},
      {may_17_2007 + 9.0 / 24, u"5/17/2007 9:00:00 AM"},
      {-1.25, u"12/29/1899 6:00:00 AM"},
      {-657434.0, u"1/1/100"},
  };
  for (const auto& [value, expected] : cases) EXPECT_EQ(date_text(Date{value}), expected) << value;
}

TEST(ToInteger, ConvertsEverySubtypeByThePlatformRules) {
  const std::pair<Variant, std::int32_t> cases[] = {
      {Variant(), 0},
      {Variant(true), -1},
      {Variant(false), 0},
      {Variant(std::int16_t{-7}), -7},
      {Variant(std::int32_t{12}), 12},
      {Variant(2.5), 2},
      {Variant(3.5), 4},
      {Variant(-2.5), -2},
      {Variant(Date{2.5}), 2},
      {Variant(Text(u" 3.5 ")), 4},
      {Variant(Text(u"-12")), -12},
      {Variant(Text(u"1e1")), 10},
  };
  for (const auto& [variant, expected] : cases) {
    EXPECT_EQ(to_int16(variant), expected);
    EXPECT_EQ(to_int32(variant), expected);
  }
}

TEST(ToInteger, FailsWithTypeMismatchOrOverflow) {
  const struct {
    Variant variant;
    int int16_error, int32_error;
  } cases[] = {
      {Variant::null(), 13, 13},
      {Variant(ObjectValue{}), 13, 13},
      {Variant(Text()), 13, 13},
      {Variant(Text(u"abc")), 13, 13},
      {Variant(Text(u"7a")), 13, 13},
      {Variant(Text(u"32768")), 6, 0},
      {Variant(std::int32_t{32768}), 6, 0},
      {Variant(std::int32_t{-32769}), 6, 0},
      {Variant(2147483648.0), 6, 6},
      {Variant(Text(u"-2147483649")), 6, 6},
      {Variant(Date{40000.0}), 6, 0},
  };
  for (const auto& c : cases) {
    const auto expected = [](int number) { return number == 0 ? std::nullopt : std::optional<int>(number); };
    EXPECT_EQ(error_number_of([&] { to_int16(c.variant); }), expected(c.int16_error));
    EXPECT_EQ(error_number_of([&] { to_int32(c.variant); }), expected(c.int32_error));
  }
}

}  // namespace
}  // namespace vkd
