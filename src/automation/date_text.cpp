#include "automation/mask.h"
#include "automation/variant.h"

namespace vkd {

namespace {

Text short_date(const DateParts& parts) {
  return decimal(parts.month) + u"/" + decimal(parts.day) + u"/" + decimal(parts.year);
}

Text long_time(const DateParts& parts) {
  const int hour_of_half_day = parts.hour % 12 == 0 ? 12 : parts.hour % 12;
  return decimal(hour_of_half_day) + u":" + zero_filled(parts.minute, 2) + u":" + zero_filled(parts.second, 2) +
         (parts.hour < 12 ? u" AM" : u" PM");
}

}  // namespace

// The day 1899-12-30 shows as its time alone (date 0 is "12:00:00 AM"), midnight of any
// other day as its date alone.
Text date_text(Date date) {
  const DateParts parts = date_parts(date);
  const DateParts zero_day;
  const bool is_zero_day = parts.year == zero_day.year && parts.month == zero_day.month && parts.day == zero_day.day;
  const bool is_midnight = parts.hour == 0 && parts.minute == 0 && parts.second == 0;
  if (is_zero_day) return long_time(parts);
  if (is_midnight) return short_date(parts);
  return short_date(parts) + u" " + long_time(parts);
}

}  // namespace vkd
