#include "conversations/time_stamp_text.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string_view>

namespace vkd {

// Everything the text is searched for or read as ("63", "??", "/", digits, ":", blanks,
// AM and PM) is plain ASCII: every single-byte code page reads the bytes below 0x80 as
// those same ASCII characters and no byte above 0x7F as one, so each byte is taken as
// the character of its own value, with the same outcome as through the code page and
// without a look-up.
namespace {

constexpr std::size_t time_of_day_length = 11;

std::string_view as_characters(const TimeStampText& text) {
  return {reinterpret_cast<const char*>(text.data()), text.size()};
}

// Whether a repair fell inside the text (before its NUL): a field the scanner did not
// know then reads as 00, which is no time it stamped.
bool repair_first(TimeStampText& text, std::string_view unknown) {
  const std::string_view characters = as_characters(text);
  const std::size_t at = characters.find(unknown);
  if (at == std::string_view::npos || at == 0) return false;
  std::fill_n(text.begin() + at, unknown.size(), '0');
  return at < characters.find('\0');
}

// The characters of the parts read, each at its byte's place: only the parts that are
// read are made characters at all.
class Characters {
 public:
  explicit Characters(const TimeStampText& text) : text_(text) {}

  std::u16string_view part(std::size_t begin, std::size_t count) {
    std::copy_n(text_.begin() + begin, count, characters_.begin() + begin);
    return {characters_.data() + begin, count};
  }

 private:
  const TimeStampText& text_;
  std::array<char16_t, csp2a::time_stamp_text_size> characters_{};
};

struct DateText {
  std::u16string_view first, middle, third;
};

// Two characters before the first "/", all between it and the next "/", and up to two
// after that. Without two slashes, or with the first too close to the start for two
// characters before it, there is no date.
std::optional<DateText> split_date(const TimeStampText& text, Characters& characters) {
  const std::string_view bytes = as_characters(text);
  const std::size_t slash = bytes.find('/');
  if (slash == std::string_view::npos || slash < 2) return std::nullopt;
  const std::size_t next_slash = bytes.find('/', slash + 1);
  if (next_slash == std::string_view::npos) return std::nullopt;
  const std::size_t third_length = std::min<std::size_t>(2, bytes.size() - next_slash - 1);
  return DateText{characters.part(slash - 2, 2), characters.part(slash + 1, next_slash - slash - 1),
                  characters.part(next_slash + 1, third_length)};
}

// The parts passed the check: nothing but digits, naming a day, a month or a two-digit
// year, so their plain decimal value is what the 16-bit conversion gives.
int field(std::u16string_view part) {
  int value = 0;
  for (const char16_t digit : part) value = value * 10 + (digit - u'0');
  return value;
}

// The day at the time of day, when there is one; known only when both were read.
StampReading with_time_of_day(Date day, bool day_known, std::optional<std::int32_t> seconds) {
  if (!seconds) return {day, false};
  return {at_time_of_day(day, *seconds), day_known};
}

// Each byte's value as a digit; any other byte's value puts its two-digit field above 99.
constexpr std::array<std::uint8_t, 256> digit_of = [] {
  std::array<std::uint8_t, 256> digits{};
  digits.fill(100);
  for (std::uint8_t digit = 0; digit <= 9; ++digit) digits['0' + digit] = digit;
  return digits;
}();

// What follows the NUL of a regular text: nothing, as the library leaves it after texts
// of this length, or what a longer text left, in which an unknown field would need the
// general reading's repair.
bool tail_is_plain(std::string_view tail) {
  static constexpr std::array<char, csp2a::time_stamp_text_size> nothing{};
  return std::equal(tail.begin(), tail.end(), nothing.begin()) ||
         (tail.find("63") == std::string_view::npos && tail.find("??") == std::string_view::npos);
}

}  // namespace

Date unreadable_time_stamp_date() {
  static const Date date = date_serial(2001, 1, 1);
  return date;
}

StampReading reading_of_text(TimeStampText& text) {
  bool repaired = repair_first(text, "63");
  repaired = repair_first(text, "??") || repaired;

  Characters characters(text);
  const std::optional<DateText> parts = split_date(text, characters);
  const bool day_read = parts && date_text_check(parts->first, parts->middle, parts->third);
  const Date day = day_read ? date_serial(field(parts->third), field(parts->first), field(parts->middle))
                            : unreadable_time_stamp_date();
  const bool day_known = day_read && !repaired;
  return with_time_of_day(day, day_known, time_of_day_from_text(characters.part(0, time_of_day_length)));
}

// "hh:mm:ss AM  MM/DD/YY": the slashes at 15 and 18 are the first two, so the date's
// parts are the two digits at 13, 16 and 19; the time of day's 11 characters hold no
// NUL and no blanks but the one before the AM or PM.
bool read_regular_text(const TimeStampText& text, StampReading& reading) {
  const auto holds = [&text](std::size_t at, char character) {
    return text[at] == static_cast<std::uint8_t>(character);
  };
  if (!(holds(2, ':') && holds(5, ':') && holds(8, ' ') && holds(10, 'M') && holds(11, ' ') &&
        holds(12, ' ') && holds(15, '/') && holds(18, '/') && holds(21, '\0'))) {
    return false;
  }
  const std::uint8_t meridiem = text[9];
  if (meridiem != 'A' && meridiem != 'P') return false;
  const auto field_at = [&text](std::size_t at) { return digit_of[text[at]] * 10 + digit_of[text[at + 1]]; };
  const int hours = field_at(0), minutes = field_at(3), seconds = field_at(6);
  const int first = field_at(13), middle = field_at(16), year = field_at(19);
  // Two digits, and not the "63" of an unknown field.
  const auto known = [](int field) { return field <= 99 && field != 63; };
  if (!(known(hours) && known(minutes) && known(seconds) && known(first) && known(middle) && known(year))) {
    return false;
  }
  if (!tail_is_plain(as_characters(text).substr(22))) return false;
  const bool day_known = is_date_either_way(first, middle, year);
  const Date day = day_known ? date_serial(year, first, middle) : unreadable_time_stamp_date();
  reading = with_time_of_day(day, day_known, time_of_day(hours, minutes, seconds, static_cast<char16_t>(meridiem)));
  return true;
}

StampReading TimeStampReader::read(Library& library, TimeStamp stamp, TimeStampText& given) {
  library.csp2TimeStamp2Str(stamp.data(), text_.data(), csp2a::time_stamp_text_size);
  given = text_;
  StampReading reading;
  return read_regular_text(text_, reading) ? reading : reading_of_text(text_);
}

}  // namespace vkd
