#include "automation/date.h"

namespace vkd {

namespace {

bool is_decimal_number(std::u16string_view text) {
  if (text.empty()) return false;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return false;
  }
  return true;
}

// A run of digits as a number; anything past nine digits is larger than every field it
// is compared with, so the value saturates there.
int digits_value(std::u16string_view digits) {
  int value = 0;
  for (const char16_t c : digits) {
    value = value >= 100000000 ? 1000000000 : value * 10 + (c - u'0');
  }
  return value;
}

bool is_calendar_date(int year, int month, int day) {
  return day >= 1 && day <= days_in_month(year, month);
}

}  // namespace

bool date_text_check(std::u16string_view first, std::u16string_view middle, std::u16string_view third) {
  if (!is_decimal_number(first) || !is_decimal_number(middle) || !is_decimal_number(third)) {
    return false;
  }
  const int year = window_two_digit_year(digits_value(third));
  const int first_value = digits_value(first);
  const int middle_value = digits_value(middle);
  return is_calendar_date(year, first_value, middle_value) ||
         is_calendar_date(year, middle_value, first_value);
}

}  // namespace vkd
