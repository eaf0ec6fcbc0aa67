#include "automation/date.h"

namespace vkd {

namespace {

// Reads the text up to its first NUL character, as the platform's recognition does: at
// its end, and at that NUL, the reader sees a NUL.
class TimeTextReader {
 public:
  explicit TimeTextReader(std::u16string_view text) : at_(text.data()), end_(text.data() + text.size()) {}

  void skip_blanks() {
    while (next() == u' ') ++at_;
  }
  bool at_end() const { return next() == u'\0'; }

  bool take(char16_t expected) {
    if (next() != expected) return false;
    ++at_;
    return true;
  }

  // One or two digits; -1 when none stands here.
  int field() {
    if (!is_digit(next())) return -1;
    int value = *at_++ - u'0';
    if (is_digit(next())) value = value * 10 + (*at_++ - u'0');
    return value;
  }

  // "AM" or "PM" in any case: 'A' or 'P', or 0 when neither stands here.
  char16_t meridiem() {
    const char16_t letter = upper(next());
    if ((letter != u'A' && letter != u'P') || end_ - at_ < 2 || upper(at_[1]) != u'M') return 0;
    at_ += 2;
    return letter;
  }

 private:
  char16_t next() const { return at_ == end_ ? u'\0' : *at_; }
  static bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
  static char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

  const char16_t* at_;
  const char16_t* end_;
};

}  // namespace

std::optional<std::int32_t> time_of_day_from_text(std::u16string_view text) {
  TimeTextReader reader(text);
  reader.skip_blanks();
  const int hours = reader.field();
  if (hours < 0 || !reader.take(u':')) return std::nullopt;
  const int minutes = reader.field();
  if (minutes < 0) return std::nullopt;
  const int seconds = reader.take(u':') ? reader.field() : 0;
  if (seconds < 0) return std::nullopt;
  reader.skip_blanks();
  const char16_t meridiem = reader.meridiem();
  reader.skip_blanks();
  if (!reader.at_end()) return std::nullopt;
  return time_of_day(hours, minutes, seconds, meridiem);
}

}  // namespace vkd
