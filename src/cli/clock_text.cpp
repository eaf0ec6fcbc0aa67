#include "cli/clock_text.h"

#include "automation/date.h"
#include "cli/whole_number.h"

namespace vkd::cli {

namespace {

int field(std::string_view text, int index) {
  return (text[2 * index] - '0') * 10 + (text[2 * index + 1] - '0');
}

// The digits of "YYYY-MM-DDTHH:MM:SS" and the separators between them.
constexpr std::string_view iso_shape = "dddd-dd-ddTdd:dd:dd";

bool has_iso_shape(std::string_view text) {
  if (text.size() != iso_shape.size()) return false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (iso_shape[i] == 'd' ? !digit : text[i] != iso_shape[i]) return false;
  }
  return true;
}

}  // namespace

bool is_iso_8601_date_time(std::string_view text) {
  if (!has_iso_shape(text)) return false;
  const auto number = [&text](std::size_t at, std::size_t length) {
    int value = 0;
    for (std::size_t i = at; i < at + length; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  const int year = number(0, 4), month = number(5, 2), day = number(8, 2);
  return month >= 1 && month <= 12 && day >= 1 && day <= days_in_month(year, month) && number(11, 2) <= 23 &&
         number(14, 2) <= 59 && number(17, 2) <= 59;
}

std::optional<std::string> clock_text_of_iso_8601(std::string_view text) {
  if (!has_iso_shape(text) || text.substr(0, 2) != "20") return std::nullopt;
  // Seconds first: SS MM HH DD MM YY from their places in the ISO text.
  std::string clock;
  for (const std::size_t at : {17, 14, 11, 8, 5, 2}) clock += text.substr(at, 2);
  // The scanner takes hour 24; a local time of day does not.
  if (!is_clock_text(clock) || text.substr(11, 2) == "24") return std::nullopt;
  return clock;
}

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

namespace {

// The command runs on one thread, so the shared result of localtime is safe here.
std::tm local_now() {
  const std::time_t now = std::time(nullptr);
  return *std::localtime(&now);
}

std::string formatted_now(const char* format) {
  const std::tm now = local_now();
  char text[32];
  return std::string(text, std::strftime(text, sizeof text, format, &now));
}

}  // namespace

std::string clock_text_of_now() { return clock_text(local_now()); }
std::string iso_8601_of_now() { return formatted_now("%Y-%m-%dT%H:%M:%S"); }
std::string compact_of_now() { return formatted_now("%Y%m%dT%H%M%S"); }

}  // namespace vkd::cli
