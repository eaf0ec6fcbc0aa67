#include "automation/date.h"

#include <cmath>

#include "automation/error.h"

namespace vkd {

namespace {

constexpr std::int64_t seconds_per_day = 86400;

// Days from 1970-01-01 of a proleptic Gregorian date, month 1-12, for any year within
// 5 * 10^10 of year 0, which covers every year an int and a month's carry can give.
// (C. Neri and L. Schneider's calendar algorithm: the years are moved by whole 400-year
// cycles to be positive, so that each division is a multiplication and a shift.)
constexpr std::int64_t days_from_civil(std::int64_t year, std::int64_t month, std::int64_t day) {
  constexpr std::int64_t cycles_moved = std::int64_t{1} << 27;
  // Counted from March, January and February are the 13th and 14th months of the year before.
  const bool january_or_february = month <= 2;
  const auto years = static_cast<std::uint64_t>(year + 400 * cycles_moved - (january_or_february ? 1 : 0));
  const auto month_from_march = static_cast<std::uint64_t>(january_or_february ? month + 12 : month);
  const std::uint64_t centuries = years / 100;
  const std::uint64_t days_before_year = 1461 * years / 4 - centuries + centuries / 4;
  const std::uint64_t days_before_month = (979 * month_from_march - 2919) / 32;
  return static_cast<std::int64_t>(days_before_year + days_before_month) + day - 1 - 146097 * cycles_moved - 719468;
}

struct CivilDate {
  int year, month, day;
};

// The inverse of days_from_civil for the days of the years 100-9999, which are all after
// 0000-03-01: counted from there, the arithmetic needs no sign and fits 32 bits. (C. Neri
// and L. Schneider's calendar algorithm: centuries, years and months each come from one
// multiplication and shift rather than from chains of divisions.)
CivilDate civil_from_days(std::int64_t days) {
  const auto days_from_march_0 = static_cast<std::uint32_t>(days + 719468);
  const std::uint32_t quarter_days = 4 * days_from_march_0 + 3;
  const std::uint32_t century = quarter_days / 146097;
  const std::uint32_t day_of_century = quarter_days % 146097 / 4;
  const std::uint64_t year_and_fraction = std::uint64_t{2939745} * (4 * day_of_century + 3);
  const auto year_of_century = static_cast<std::uint32_t>(year_and_fraction >> 32);
  const std::uint32_t day_of_year = static_cast<std::uint32_t>(year_and_fraction) / 2939745 / 4;
  const std::uint32_t month_and_day = 2141 * day_of_year + 197913;
  const std::uint32_t month_from_march = month_and_day >> 16;
  // Counted from March, January and February are the 13th and 14th months, of the next year.
  const bool january_or_february = day_of_year >= 306;
  return {static_cast<int>(100 * century + year_of_century + (january_or_february ? 1 : 0)),
          static_cast<int>(january_or_february ? month_from_march - 12 : month_from_march),
          static_cast<int>((month_and_day & 0xFFFF) / 2141 + 1)};
}

constexpr std::int64_t epoch_days = days_from_civil(1899, 12, 30);

// Calendar day (days from 1899-12-30, negative before it) plus the time as a fraction
// of a day: the form in which the negative encoding is undone.
struct DayAndTime {
  std::int64_t day;
  double time;
};

// The first and last calendar days, 100-01-01 and 9999-12-31 (-657434 and 2958465).
constexpr std::int64_t first_calendar_day = days_from_civil(100, 1, 1) - epoch_days;
constexpr std::int64_t last_calendar_day = days_from_civil(9999, 12, 31) - epoch_days;
static_assert(first_calendar_day == -657434 && last_calendar_day == 2958465);
static_assert(days_from_civil(1970, 1, 1) == 0 && epoch_days == -25569);

// Within those days, a negative date's fraction included; the comparisons fail for NaN.
bool within_calendar(Date date) {
  return date.value > static_cast<double>(first_calendar_day - 1) &&
         date.value < static_cast<double>(last_calendar_day + 1);
}

// The conversion truncates toward zero as trunc does, in one instruction rather than
// trunc's several; every date split lies within the calendar, far inside its range.
DayAndTime split(Date date) {
  const auto day = static_cast<std::int64_t>(date.value);
  return {day, std::fabs(date.value - static_cast<double>(day))};
}

Date join(std::int64_t day, double time) {
  const auto whole = static_cast<double>(day);
  return Date{day < 0 ? whole - time : whole + time};
}

std::int64_t floor_div(std::int64_t number, std::int64_t divisor) {
  const std::int64_t quotient = number / divisor;
  return (number % divisor != 0 && (number < 0) != (divisor < 0)) ? quotient - 1 : quotient;
}

}  // namespace

int window_two_digit_year(int year) {
  if (year >= 0 && year <= 29) return year + 2000;
  if (year >= 30 && year <= 99) return year + 1900;
  return year;
}

Date date_serial(int year, int month, int day) {
  std::int64_t carried_year = window_two_digit_year(year);
  std::int64_t carried_month = month;
  if (month < 1 || month > 12) {
    const std::int64_t months_from_january = std::int64_t{month} - 1;
    const std::int64_t years_carried = floor_div(months_from_january, 12);
    carried_year += years_carried;
    carried_month = months_from_january - years_carried * 12 + 1;
  }
  const std::int64_t serial = days_from_civil(carried_year, carried_month, 1) + std::int64_t{day} - 1 - epoch_days;
  if (serial < first_calendar_day || serial > last_calendar_day) {
    throw Error::overflow();
  }
  return Date{static_cast<double>(serial)};
}

Date add_duration(Date date, std::int64_t hours, std::int64_t minutes, std::int64_t seconds) {
  if (!within_calendar(date)) throw Error::overflow();
  const DayAndTime start = split(date);
  const double total_seconds = static_cast<double>(start.day * seconds_per_day) +
                               start.time * seconds_per_day +
                               static_cast<double>(hours * 3600 + minutes * 60 + seconds);
  const double day = std::floor(total_seconds / seconds_per_day);
  const double time = (total_seconds - day * seconds_per_day) / seconds_per_day;
  return join(static_cast<std::int64_t>(day), time);
}

Date at_time_of_day(Date day, std::int32_t seconds_of_day) {
  return join(split(day).day, static_cast<double>(seconds_of_day) / seconds_per_day);
}

DateParts date_parts(Date date) {
  if (!within_calendar(date)) throw Error::invalid_procedure_call();
  DayAndTime parts = split(date);
  // Rounded half away from zero, as llround does, without its call: the product is never
  // negative, and taking its whole seconds away leaves the exact fraction.
  const double scaled = parts.time * seconds_per_day;
  auto seconds = static_cast<std::int64_t>(scaled);
  if (scaled - static_cast<double>(seconds) >= 0.5) ++seconds;
  if (seconds >= seconds_per_day) {
    ++parts.day;
    seconds -= seconds_per_day;
  }
  // The last second of 9999-12-31 rounded up is no calendar date either.
  if (parts.day > last_calendar_day) throw Error::invalid_procedure_call();
  const CivilDate civil = civil_from_days(parts.day + epoch_days);
  const auto second_of_day = static_cast<std::uint32_t>(seconds);
  const std::uint32_t minute_of_day = second_of_day / 60;
  return {civil.year,
          civil.month,
          civil.day,
          static_cast<int>(minute_of_day / 60),
          static_cast<int>(minute_of_day % 60),
          static_cast<int>(second_of_day % 60)};
}

bool is_leap_year(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int days_in_month(int year, int month) {
  static constexpr int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  if (month == 2 && is_leap_year(year)) return 29;
  return lengths[month - 1];
}

}  // namespace vkd
