#pragma once
// The two passes of an export over the same fields: LengthCounter counts the characters
// the fields take, without formatting any, and TextWriter writes them into a text made
// at that length at once, so that no field checks for room or makes it grow. Both take
// a field's length from the same mask functions, so the text is filled exactly.
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

#include "automation/date.h"
#include "automation/error.h"
#include "automation/mask_writers.h"
#include "automation/text.h"

namespace vkd {

class LengthCounter {
 public:
  void append(std::u16string_view part) { add(part.size()); }
  void append_decimal(std::int64_t number) { add(decimal_length(number)); }
  void append_zero_filled(std::int64_t number, int digits) { add(zero_filled_length(number, digits)); }
  void append_left_aligned(std::u16string_view value, int width) { add(left_aligned_length(value, width)); }
  void append_date(Date) { add(yyyymmddhhnnss_length); }

  // Whether the text is no longer than a host's text or a 32-bit length holds.
  bool fits_a_host_text() const {
    return length_ <= static_cast<std::uint64_t>(std::numeric_limits<std::int32_t>::max());
  }
  // A longer one is an overflow (6), found before anything of its size is allocated.
  std::size_t length() const {
    if (!fits_a_host_text()) throw Error::overflow();
    return static_cast<std::size_t>(length_);
  }

 private:
  // Checked once at the end: an export has at most a few fields for each of at most
  // 32,767 records, each field shorter than 2^32 characters, so 64 bits never wrap.
  void add(std::size_t count) { length_ += count; }

  std::uint64_t length_ = 0;
};

class TextWriter {
 public:
  explicit TextWriter(std::size_t length) : text_(length, u'\0'), at_(text_.data()) {}
  void append(std::u16string_view part) {
    assert(part.size() <= room());
    at_ = write_text(at_, part);
  }
  void append_decimal(std::int64_t number) {
    assert(decimal_length(number) <= room());
    at_ = write_decimal(at_, number);
  }
  void append_zero_filled(std::int64_t number, int digits) {
    assert(zero_filled_length(number, digits) <= room());
    at_ = write_zero_filled(at_, number, digits);
  }
  void append_left_aligned(std::u16string_view value, int width) {
    assert(left_aligned_length(value, width) <= room());
    at_ = write_left_aligned(at_, value, width);
  }
  void append_date(Date date) {
    assert(yyyymmddhhnnss_length <= room());
    at_ = write_yyyymmddhhnnss(at_, date);
  }
  Text take() {
    assert(room() == 0);
    return std::move(text_);
  }

 private:
  std::size_t room() const { return static_cast<std::size_t>(text_.data() + text_.size() - at_); }

  Text text_;
  char16_t* at_;
};

// The text of the fields that `write_fields(output)` appends, counted first and then
// written once.
template <class WriteFields>
Text counted_text(const WriteFields& write_fields) {
  LengthCounter counter;
  write_fields(counter);
  TextWriter writer(counter.length());
  write_fields(writer);
  return writer.take();
}

}  // namespace vkd
