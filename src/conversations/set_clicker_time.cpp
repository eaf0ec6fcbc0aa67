#include "conversations/set_clicker_time.h"

#include <array>
#include <optional>

#include "automation/date.h"

namespace vkd {

namespace {

constexpr int field_count = csp2a::clock_size;
using ClockBytes = std::array<std::uint8_t, csp2a::clock_size>;

std::optional<int> two_digit_number(const Text& piece) {
  const auto is_digit = [](char16_t c) { return c >= u'0' && c <= u'9'; };
  if (piece.size() != 2 || !is_digit(piece[0]) || !is_digit(piece[1])) return std::nullopt;
  return (piece[0] - u'0') * 10 + (piece[1] - u'0');
}

bool in_range(std::optional<int> number, int low, int high) {
  return number && *number >= low && *number <= high;
}

// The text's fields in its own order: second, minute, hour, day, month, year.
std::array<Text, field_count> pieces_of(const Text& date_time) {
  std::array<Text, field_count> pieces;
  for (int i = 0; i < field_count; ++i) pieces[i] = mid(date_time, 2 * i + 1, 2);
  return pieces;
}

}  // namespace

bool valid_date(const Text& year, const Text& month, const Text& day) {
  const auto year_number = two_digit_number(year);
  const auto month_number = two_digit_number(month);
  if (!year_number || !in_range(month_number, 1, 12)) return false;
  return in_range(two_digit_number(day), 1, days_in_month(*year_number, *month_number));
}

bool valid_time(const Text& hour, const Text& minute, const Text& second) {
  return in_range(two_digit_number(hour), 0, 24) && in_range(two_digit_number(minute), 0, 59) &&
         in_range(two_digit_number(second), 0, 59);
}

ClockSetting set_clicker_time(OpenPort& port, const Text& date_time, std::int16_t attempts,
                              ClockSettingObserver& observer) {
  ClockSetting setting{.date_time = date_time, .valid = false, .answers = {}};
  observer.clock_setting_started();
  const auto pieces = pieces_of(date_time);
  const auto& [second, minute, hour, day, month, year] = pieces;
  if (!valid_date(year, month, day) || !valid_time(hour, minute, second)) return setting;

  // Every piece passed a check, so each is two digits.
  ClockBytes clock{};
  for (int i = 0; i < field_count; ++i) clock[i] = static_cast<std::uint8_t>(*two_digit_number(pieces[i]));

  setting.valid = true;
  observer.clock_text_checked(date_time);
  for (int attempt = 1; attempt <= attempts; ++attempt) {
    // The library may write into the buffer it is given; each attempt sends a fresh copy.
    ClockBytes buffer = clock;
    port.wake_up();
    const std::int32_t result = port.library().csp2SetTime(buffer.data());
    setting.answers.push_back(result);
    observer.clock_answered(result, attempt);
    port.power_down();
    if (result == 0) {
      observer.clock_taken();
      return setting;
    }
  }
  return setting;
}

}  // namespace vkd
