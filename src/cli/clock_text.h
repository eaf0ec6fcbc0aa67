#pragma once
// The twelve-digit date-time text the scanner clock is set from: two digits each for
// second, minute, hour, day, month and the year within its century.
#include <ctime>
#include <optional>
#include <string>
#include <string_view>

namespace vkd::cli {

// Twelve decimal digits naming a time the scanner takes: seconds and minutes 0-59, hour
// 0-24, a month 1-12 and a day of that month (29 February in every year divisible by 4,
// 00 included, as the scanner counts).
bool is_clock_text(std::string_view text);

// "YYYY-MM-DDTHH:MM:SS" naming a real local date and time (any year of four digits).
bool is_iso_8601_date_time(std::string_view text);

// "2024-05-15T09:30:00" -> "003009150524": a local date and time in the form the
// command prints, in the years 2000-2099 that the scanner's two-digit year can hold.
std::optional<std::string> clock_text_of_iso_8601(std::string_view text);

std::string clock_text(const std::tm& local_time);
std::string clock_text_of_now();

// The local date and time now: "2024-05-15T09:30:00", and "20240515T093000" for a name.
std::string iso_8601_of_now();
std::string compact_of_now();

}  // namespace vkd::cli
