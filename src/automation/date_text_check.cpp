#include "automation/date.h"

namespace vkd {

namespace {

// A run of one or more digits as a number, or -1 for anything else. Anything past nine
// digits is larger than every field it is compared with, so the value saturates there.
int decimal_value(std::u16string_view text) {
  if (text.empty()) return -1;
  int value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return -1;
    value = value >= 100000000 ? 1000000000 : value * 10 + (c - u'0');
  }
  return value;
}

// Every month has its first 28 days, so only a day beyond them needs the calendar.
bool is_calendar_date(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && (day <= 28 || day <= days_in_month(year, month));
}

}  // namespace

bool is_date_either_way(int first, int middle, int two_digit_year) {
  const int year = window_two_digit_year(two_digit_year);
  return is_calendar_date(year, first, middle) || is_calendar_date(year, middle, first);
}

bool date_text_check(std::u16string_view first, std::u16string_view middle, std::u16string_view third) {
  const int first_value = decimal_value(first);
  const int middle_value = decimal_value(middle);
  const int third_value = decimal_value(third);
  return first_value >= 0 && middle_value >= 0 && third_value >= 0 &&
         is_date_either_way(first_value, middle_value, third_value);
}

}  // namespace vkd
