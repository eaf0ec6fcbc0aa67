#include <cstddef>

#include "automation/date.h"

namespace vkd {

namespace {

class TimeTextReader {
 public:
  explicit TimeTextReader(std::u16string_view text) : text_(text) {}

  void skip_blanks() {
    while (position_ < text_.size() && text_[position_] == u' ') ++position_;
  }
  bool at_end() const { return position_ == text_.size(); }

  bool take(char16_t expected) {
    if (at_end() || text_[position_] != expected) return false;
    ++position_;
    return true;
  }

  // One or two digits.
  std::optional<int> field() {
    int value = 0;
    std::size_t digits = 0;
    while (digits < 2 && !at_end() && text_[position_] >= u'0' && text_[position_] <= u'9') {
      value = value * 10 + (text_[position_] - u'0');
      ++position_;
      ++digits;
    }
    if (digits == 0) return std::nullopt;
    return value;
  }

  // "AM" or "PM" in any case: 'A' or 'P', or 0 when neither stands here.
  char16_t meridiem() {
    if (text_.size() - position_ < 2) return 0;
    const char16_t letter = upper(text_[position_]);
    if ((letter != u'A' && letter != u'P') || upper(text_[position_ + 1]) != u'M') return 0;
    position_ += 2;
    return letter;
  }

 private:
  static char16_t upper(char16_t c) { return c >= u'a' && c <= u'z' ? c - u'a' + u'A' : c; }

  std::u16string_view text_;
  std::size_t position_ = 0;
};

}  // namespace

std::optional<std::int32_t> time_of_day_from_text(std::u16string_view text) {
  TimeTextReader reader(text.substr(0, text.find(u'\0')));
  reader.skip_blanks();
  const std::optional<int> hours_field = reader.field();
  if (!hours_field || !reader.take(u':')) return std::nullopt;
  const std::optional<int> minutes = reader.field();
  if (!minutes) return std::nullopt;
  std::optional<int> seconds = 0;
  if (reader.take(u':')) seconds = reader.field();
  if (!seconds) return std::nullopt;
  reader.skip_blanks();
  const char16_t meridiem = reader.meridiem();
  reader.skip_blanks();
  if (!reader.at_end()) return std::nullopt;

  int hours = *hours_field;
  if (meridiem == u'A' && hours == 12) hours = 0;
  if (meridiem == u'P' && hours < 12) hours += 12;
  if (hours > 23 || *minutes > 59 || *seconds > 59) return std::nullopt;
  return hours * 3600 + *minutes * 60 + *seconds;
}

}  // namespace vkd
