#include "cli/clock_text.h"

#include "automation/date.h"
#include "cli/whole_number.h"

namespace vkd::cli {

namespace {

int field(std::string_view text, int index) {
  return (text[2 * index] - '0') * 10 + (text[2 * index + 1] - '0');
}

}  // namespace

bool is_clock_text(std::string_view text) {
  if (text.size() != 12 || !all_digits(text)) return false;
  const int second = field(text, 0), minute = field(text, 1), hour = field(text, 2);
  const int day = field(text, 3), month = field(text, 4), year = field(text, 5);
  if (second > 59 || minute > 59 || hour > 24 || month < 1 || month > 12) return false;
  return day >= 1 && day <= days_in_month(year, month);
}

std::string clock_text(const std::tm& local_time) {
  std::string text;
  for (const int field : {local_time.tm_sec % 60, local_time.tm_min, local_time.tm_hour,
                          local_time.tm_mday, local_time.tm_mon + 1, local_time.tm_year % 100}) {
    text += static_cast<char>('0' + field / 10);
    text += static_cast<char>('0' + field % 10);
  }
  return text;
}

// The command runs on one thread, so the shared result of localtime is safe here.
std::string clock_text_of_now() {
  const std::time_t now = std::time(nullptr);
  return clock_text(*std::localtime(&now));
}

}  // namespace vkd::cli
