#pragma once
// The automation date: a double counting days since 1899-12-30, the fraction being the
// time of day. Before that day the value is minus (days + fraction): 1899-12-29 06:00
// is -1.25.
#include <compare>
#include <cstdint>
#include <optional>
#include <string_view>

#include "automation/text.h"

namespace vkd {

struct Date {
  double value = 0.0;
  friend auto operator<=>(const Date&, const Date&) = default;
};

struct DateParts {
  int year = 1899, month = 12, day = 30;
  int hour = 0, minute = 0, second = 0;
};

// Years 0-29 become 2000-2029 and 30-99 become 1930-1999; other years are kept: the
// platform's window, by which a scanner's year byte 9 is 2009 to every host.
int window_two_digit_year(int year);

// The platform's DateSerial: the year through the two-digit window, then month and day
// carry (month 13 is January of the next year, month 0 December of the year before,
// day 0 the last day of the month before). A result outside 100-9999 is overflow (6).
Date date_serial(int year, int month, int day);

// Adds hours, minutes and seconds as a duration: 24:00:00 is the start of the next day,
// minutes and seconds above 59 carry. Works across the 1899-12-30 sign change.
Date add_duration(Date date, std::int64_t hours, std::int64_t minutes, std::int64_t seconds);

// A whole day's date (as date_serial gives it) at a time of day, 0 to 86399 seconds: the
// same value as adding that many seconds as a duration, without the carry arithmetic.
Date at_time_of_day(Date day, std::int32_t seconds_of_day);

// Calendar fields of a date, rounded to the nearest second. A value outside the years
// 100-9999 (or not a number) is the invalid-procedure-call error (5).
DateParts date_parts(Date date);

bool is_leap_year(int year);
int days_in_month(int year, int month);  // 0 for a month outside 1-12

// Seconds since midnight of a time-of-day text: "14:30:15", "02:30:15 PM", "2:30 PM";
// blanks around it allowed; the text ends at its first NUL character, as the platform's
// recognition reads it. PM adds 12 to hours below 12, "12:xx AM" is 00:xx. Hours above
// 23 (after AM/PM), minutes or seconds above 59, or anything else: no time.
std::optional<std::int32_t> time_of_day_from_text(std::u16string_view text);

// Seconds since midnight of a clock time read from a text: PM adds 12 to hours below 12,
// "12 AM" is hour 0; hours above 23 (after that), minutes or seconds above 59: no time.
// `meridiem` is u'A', u'P', or 0 when the text has neither. (Inline: a download reads
// one for every record, and an optional returned from a call is written and read back
// in pieces that stall the processor.)
inline std::optional<std::int32_t> time_of_day(int hours, int minutes, int seconds, char16_t meridiem) {
  if (meridiem == u'A' && hours == 12) hours = 0;
  if (meridiem == u'P' && hours < 12) hours += 12;
  if (hours > 23 || minutes > 59 || seconds > 59) return std::nullopt;
  return hours * 3600 + minutes * 60 + seconds;
}

// Whether, with the year through the two-digit window, day `middle` of month `first` or
// day `first` of month `middle` is a calendar date.
bool is_date_either_way(int first, int middle, int two_digit_year);

// The check of a downloaded time stamp's date parts: the three parts must be decimal
// numbers and, with year = third (two-digit window), either reading must be a calendar
// date: day = middle with month = first, or day = first with month = middle.
bool date_text_check(std::u16string_view first, std::u16string_view middle, std::u16string_view third);

}  // namespace vkd
