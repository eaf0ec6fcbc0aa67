#include "automation/date.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "error_number.h"

namespace vkd {
namespace {

using testing::error_number_of;

constexpr double may_17_2007 = 39219.0;
constexpr double seconds_per_day = 86400.0;

void expect_parts(Date date, const DateParts& expected) {
  const DateParts parts = date_parts(date);
  EXPECT_EQ(parts.year, expected.year) << date.value;
  EXPECT_EQ(parts.month, expected.month) << date.value;
  EXPECT_EQ(parts.day, expected.day) << date.value;
  EXPECT_EQ(parts.hour, expected.hour) << date.value;
  EXPECT_EQ(parts.minute, expected.minute) << date.value;
  EXPECT_EQ(parts.second, expected.second) << date.value;
}

TEST(Calendar, LeapYearsAndMonthLengths) {
  EXPECT_FALSE(is_leap_year(1900));
  EXPECT_TRUE(is_leap_year(2000));
  EXPECT_TRUE(is_leap_year(2024));
  EXPECT_FALSE(is_leap_year(2023));
  EXPECT_FALSE(is_leap_year(2100));
  const struct {
    int year, month, days;
  } cases[] = {{1900, 2, 28}, {2000, 2, 29}, {2024, 2, 29}, {2023, 2, 28}, {2024, 1, 31},
               {2024, 4, 30}, {2024, 12, 31}, {2024, 0, 0},  {2024, 13, 0}};
  for (const auto& c : cases) EXPECT_EQ(days_in_month(c.year, c.month), c.days) << c.year << "-" << c.month;
}

TEST(Calendar, TwoDigitYearWindow) {
  const std::pair<int, int> cases[] = {{0, 2000}, {7, 2007},   {29, 2029},   {30, 1930},
                                       {99, 1999}, {100, 100}, {2007, 2007}, {-1, -1}};
  for (const auto& [year, expected] : cases) EXPECT_EQ(window_two_digit_year(year), expected) << year;
}

TEST(DateSerial, KnownDays) {
  EXPECT_EQ(date_serial(1899, 12, 30).value, 0.0);
  EXPECT_EQ(date_serial(1899, 12, 29).value, -1.0);
  EXPECT_EQ(date_serial(1900, 1, 1).value, 2.0);
  EXPECT_EQ(date_serial(1900, 3, 1).value, 61.0);  // 1900 has no 29 February
  EXPECT_EQ(date_serial(2007, 5, 17).value, may_17_2007);
  EXPECT_EQ(date_serial(100, 1, 1).value, -657434.0);
  EXPECT_EQ(date_serial(9999, 12, 31).value, 2958465.0);
}

TEST(DateSerial, CarriesMonthsAndDaysAndWindowsTheYear) {
  const struct {
    int year, month, day;
    DateParts expected;
  } cases[] = {
      {2007, 13, 1, {2008, 1, 1}},    {2007, 13, 5, {2008, 1, 5}},   {2007, 0, 1, {2006, 12, 1}},
      {2007, -1, 15, {2006, 11, 15}}, {2007, 25, 1, {2009, 1, 1}},   {2007, 3, 0, {2007, 2, 28}},
      {2008, 3, 0, {2008, 2, 29}},    {2007, 1, 0, {2006, 12, 31}},  {2007, 1, 32, {2007, 2, 1}},
      {2007, 12, 32, {2008, 1, 1}},   {2007, 2, 29, {2007, 3, 1}},   {2024, 2, 29, {2024, 2, 29}},
      {1900, 2, 29, {1900, 3, 1}},    {2000, 2, 29, {2000, 2, 29}},  {7, 5, 17, {2007, 5, 17}},
      {29, 12, 31, {2029, 12, 31}},   {30, 1, 1, {1930, 1, 1}},      {99, 13, 1, {2000, 1, 1}},
      {0, 0, 0, {1999, 11, 30}},      {1899, 12, 31, {1899, 12, 31}}, {1800, 1, 1, {1800, 1, 1}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.year << "-" << c.month << "-" << c.day);
    expect_parts(date_serial(c.year, c.month, c.day), c.expected);
  }
}

TEST(DateSerial, OutsideTheYears100To9999IsOverflow) {
  EXPECT_EQ(error_number_of([] { date_serial(10000, 1, 1); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(9999, 12, 32); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(9999, 13, 1); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(100, 1, 0); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(-5, 1, 1); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(2007, 1, std::numeric_limits<int>::min()); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(2007, std::numeric_limits<int>::max(), 1); }), 6);
  EXPECT_EQ(error_number_of([] { date_serial(100, 1, 1); }), std::nullopt);
}

TEST(DateParts, RoundsToTheNearestSecondOnBothSidesOfDayZero) {
  const struct {
    double value;
    DateParts expected;
  } cases[] = {
      {0.0, {1899, 12, 30, 0, 0, 0}},
      {0.5, {1899, 12, 30, 12, 0, 0}},
      {-0.5, {1899, 12, 30, 12, 0, 0}},
      {-1.25, {1899, 12, 29, 6, 0, 0}},
      {-1.75, {1899, 12, 29, 18, 0, 0}},
      {-1.9999999999, {1899, 12, 30, 0, 0, 0}},
      {-657434.0, {100, 1, 1, 0, 0, 0}},
      {may_17_2007 + 52215.0 / seconds_per_day, {2007, 5, 17, 14, 30, 15}},
      {may_17_2007 + 52215.4 / seconds_per_day, {2007, 5, 17, 14, 30, 15}},
      {may_17_2007 + 52215.6 / seconds_per_day, {2007, 5, 17, 14, 30, 16}},
      {may_17_2007 + 86399.7 / seconds_per_day, {2007, 5, 18, 0, 0, 0}},
  };
  for (const auto& c : cases) expect_parts(Date{c.value}, c.expected);
}

TEST(DateParts, ValuesOutsideTheDateRangeAreInvalid) {
  const double values[] = {-657435.0, 2958466.0, 1e300, -1e300, std::nan("")};
  for (double value : values) EXPECT_EQ(error_number_of([&] { date_parts(Date{value}); }), 5) << value;
  EXPECT_EQ(error_number_of([] { date_parts(Date{-657434.99}); }), std::nullopt);
  EXPECT_EQ(error_number_of([] { date_parts(Date{2958465.99}); }), std::nullopt);
}

// The last day's final half second rounds into a year of five digits, which no date
// mask can show.
TEST(DateParts, RoundingPastTheLastSecondOf9999IsInvalid) {
  const double last_second = 2958465.0 + 86399.0 / seconds_per_day;
  expect_parts(Date{last_second + 0.4 / seconds_per_day}, {9999, 12, 31, 23, 59, 59});
  EXPECT_EQ(error_number_of([&] { date_parts(Date{last_second + 0.6 / seconds_per_day}); }), 5);
}

TEST(DateParts, RoundTripsThroughTheDateAndATimeOfDay) {
  for (int year : {100, 1600, 1899, 1900, 1999, 2000, 2024, 9999}) {
    for (int month = 1; month <= 12; ++month) {
      for (int day : {1, 15, days_in_month(year, month)}) {
        const DateParts parts{year, month, day, day % 24, (month * 7) % 60, (year + day) % 60};
        SCOPED_TRACE(::testing::Message() << year << "-" << month << "-" << day);
        const std::int32_t seconds = parts.hour * 3600 + parts.minute * 60 + parts.second;
        expect_parts(at_time_of_day(date_serial(year, month, day), seconds), parts);
      }
    }
  }
  EXPECT_EQ(at_time_of_day(date_serial(1899, 12, 29), 6 * 3600).value, -1.25);
}

TEST(AddDuration, CarriesIntoTheNextDayAcrossTheSignChange) {
  const struct {
    double start;
    std::int64_t hours, minutes, seconds;
    double expected;
  } cases[] = {
      {may_17_2007, 14, 30, 15, may_17_2007 + 52215.0 / seconds_per_day},
      {may_17_2007, 24, 0, 0, may_17_2007 + 1},
      {may_17_2007, 0, 90, 0, may_17_2007 + 1.5 / 24},
      {may_17_2007, 0, 0, 3600, may_17_2007 + 1.0 / 24},
      {0.0, 6, 0, 0, 0.25},
      {-1.0, 6, 0, 0, -1.25},
      {-1.25, 18, 0, 0, 0.0},
      {-2.0, 30, 0, 0, -1.25},
      {-1.0, 24, 0, 0, 0.0},
      {-1.0, 30, 0, 0, 0.25},
      {0.25, -12, 0, 0, -1.75},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(add_duration(Date{c.start}, c.hours, c.minutes, c.seconds).value, c.expected)
        << c.start << " + " << c.hours << ":" << c.minutes << ":" << c.seconds;
  }
}

TEST(Duration, OfADateOutsideTheCalendarIsOverflow) {
  for (double value : {1e300, -5.5e303, std::nan("")}) {
    EXPECT_EQ(error_number_of([&] { add_duration(Date{value}, 1, 0, 0); }), 6) << value;
  }
}

TEST(TimeOfDay, ReadsTwentyFourHourAndAmPmTexts) {
  const struct {
    Text text;
    std::optional<std::int32_t> seconds;
  } cases[] = {
      {u"14:30:15", 52215},
      {u"02:30:15 PM", 52215},
      {u"2:30:15 pm", 52215},
      {u"2:30 PM", 52200},
      {u"2:30PM", 52200},
      {u"14:30:15   ", 52215},
      {u"  14:30", 52200},
      {u"12:05:00 AM", 300},
      {u"12:05:00 PM", 43500},
      {u"00:00:00", 0},
      {u"23:59:59", 86399},
      {u"11:59:59 PM", 86399},
      {u"13:00 PM", 46800},
      {Text(u"14:30:15\0\0\0", 11), 52215},
      {Text(u"14:30:15\0junk", 13), 52215},
      {u"24:00:00", std::nullopt},
      {u"25:15:09", std::nullopt},
      {u"14:60:00", std::nullopt},
      {u"14:30:60", std::nullopt},
      {u"14:30:63", std::nullopt},
      {u"", std::nullopt},
      {u"14", std::nullopt},
      {u"14:", std::nullopt},
      {u"14:30:", std::nullopt},
      {u"14:30:15 XM", std::nullopt},
      {u"14:30:15 PM extra", std::nullopt},
      {u"05/17/07", std::nullopt},
      {u"??:30:15", std::nullopt},
      {u"143:0:15", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(time_of_day_from_text(c.text), c.seconds) << to_utf8(c.text);
}

TEST(DateTextCheck, EitherReadingMustBeACalendarDate) {
  const struct {
    Text first, middle, third;
    bool valid;
  } cases[] = {
      {u"05", u"17", u"07", true},   // month first
      {u"13", u"05", u"07", true},   // only the second reading: 13 May
      {u"17", u"00", u"07", false},  // the "??" of the month repaired to 00
      {u"00", u"17", u"07", false},
      {u"02", u"29", u"07", false},
      {u"02", u"29", u"08", true},
      {u"29", u"02", u"08", true},
      {u"02", u"29", u"00", true},   // 2000 is a leap year
      {u"02", u"30", u"08", false},
      {u"13", u"13", u"07", false},
      {u"04", u"31", u"07", false},
      {u"31", u"04", u"07", false},
      {u"12", u"31", u"29", true},
      {u"1", u"7", u"07", true},
      {u"05", u"017", u"07", true},
      {u"", u"17", u"07", false},
      {u"05", u"", u"07", false},
      {u"05", u"17", u"", false},
      {u"05", u"1 ", u"07", false},
      {u"?5", u"17", u"07", false},
      {u"-5", u"17", u"07", false},
      {u"05", u"17", u"0?", false},
      {u"05", u"99999999999999", u"07", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(date_text_check(c.first, c.middle, c.third), c.valid)
        << to_utf8(c.first) << "/" << to_utf8(c.middle) << "/" << to_utf8(c.third);
  }
}

}  // namespace
}  // namespace vkd
