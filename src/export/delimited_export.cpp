#include "export/delimited_export.h"

#include <algorithm>
#include <cassert>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>
#include <variant>

#include "automation/error.h"
#include "automation/mask.h"
#include "automation/variant.h"
#include "export/clock_flag_field.h"
#include "state/list_entry.h"

namespace vkd {

namespace {

constexpr std::u16string_view default_delimiter = u";";
// The length a host's text and length_alldata2 can hold.
constexpr std::size_t longest_text = std::numeric_limits<std::int32_t>::max();

// Counts the characters of the text without building it, so that a text too long to
// hand over fails before anything of its size is allocated. A number's length is its
// count of digits and a date's is fixed, so nothing is formatted here.
class LengthCounter {
 public:
  void append(std::u16string_view part) { add(part.size()); }
  void append_decimal(std::int64_t number) { add(decimal_length(number)); }
  void append_date(Date) { add(yyyymmddhhnnss_length); }
  std::size_t length() const { return length_; }

 private:
  void add(std::size_t count) {
    length_ += count;
    if (length_ > longest_text) throw Error::overflow();
  }

  std::size_t length_ = 0;
};

// Writes the fields into a text made at the counted length at once, so that no field
// needs to check for room or grow it. The counting went through the same fields, with
// the lengths the writing functions write, so the text is filled exactly.
class TextBuilder {
 public:
  explicit TextBuilder(std::size_t length) : text_(length, u'\0'), at_(text_.data()) {}
  void append(std::u16string_view part) {
    assert(part.size() <= room());
    at_ = std::copy(part.begin(), part.end(), at_);
  }
  void append_decimal(std::int64_t number) {
    assert(decimal_length(number) <= room());
    at_ = write_decimal(at_, number);
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

// The fields in their order, each but the very first after the delimiter. Both the
// counting and the building go through here, so the fields counted are the fields built.
template <class Output>
void write_fields(const ClickerState& state, std::u16string_view delimiter, Output& out) {
  const auto field = [&](std::u16string_view text) {
    out.append(delimiter);
    out.append(text);
  };
  const auto date_field = [&](Date date) {
    out.append(delimiter);
    out.append_date(date);
  };
  const auto decimal_field = [&](std::int64_t number) {
    out.append(delimiter);
    out.append_decimal(number);
  };
  // A download leaves a 16-bit integer, whose text is its decimal, or Empty, whose text
  // is empty.
  const auto code_type_field = [&](const Variant& type) {
    if (const auto* number = std::get_if<std::int16_t>(&type.value())) {
      decimal_field(*number);
    } else {
      field(to_text(type));
    }
  };

  const std::int32_t records = state.num_barcodes;
  out.append(u"DL");
  field(u"V03");
  field(state.SwVersion);
  field(state.serial);
  field(clock_flag_field(state.clock_flag));
  date_field(state.clock_date);
  decimal_field(records);

  for (std::int32_t k = 1; k <= records; ++k) {
    field(u"BC");
    decimal_field(k);
    date_field(list_entry(state.barcode_times, k));
    code_type_field(list_entry(state.barcode_types, k));
    const Text& barcode = list_entry(state.barcode_texts, k);
    decimal_field(static_cast<std::int64_t>(barcode.size()));
    field(barcode);
  }
}

}  // namespace

Text delimited_export(const ClickerState& state) {
  const std::u16string_view delimiter =
      state.pdelimiter.empty() ? default_delimiter : std::u16string_view(state.pdelimiter);
  LengthCounter counter;
  write_fields(state, delimiter, counter);
  TextBuilder builder(counter.length());
  write_fields(state, delimiter, builder);
  return builder.take();
}

}  // namespace vkd
