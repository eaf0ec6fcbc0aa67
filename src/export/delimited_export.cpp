#include "export/delimited_export.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string_view>

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
// hand over fails before anything of its size is allocated.
class LengthCounter {
 public:
  void append(std::u16string_view part) { add(part.size()); }
  template <class Format>
  void append_formatted(const Format& format) {
    scratch_.clear();
    format(scratch_);
    add(scratch_.size());
  }
  std::size_t length() const { return length_; }

 private:
  void add(std::size_t count) {
    length_ += count;
    if (length_ > longest_text) throw Error::overflow();
  }

  std::size_t length_ = 0;
  Text scratch_;  // one formatted field at a time
};

class TextBuilder {
 public:
  explicit TextBuilder(std::size_t length) { text_.reserve(length); }
  void append(std::u16string_view part) { text_ += part; }
  template <class Format>
  void append_formatted(const Format& format) {
    format(text_);
  }
  Text take() { return std::move(text_); }

 private:
  Text text_;
};

// The fields in their order, each but the very first after the delimiter. Both the
// counting and the building go through here, so the length counted is the length built.
template <class Output>
void write_fields(const ClickerState& state, std::u16string_view delimiter, Output& out) {
  const auto field = [&](std::u16string_view text) {
    out.append(delimiter);
    out.append(text);
  };
  const auto formatted_field = [&](const auto& format) {
    out.append(delimiter);
    out.append_formatted(format);
  };
  const auto date_field = [&](Date date) {
    formatted_field([date](Text& text) { append_yyyymmddhhnnss(text, date); });
  };
  const auto decimal_field = [&](std::int64_t number) {
    formatted_field([number](Text& text) { append_decimal(text, number); });
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
    // An entry the download left unfilled is Empty, whose text is empty.
    field(to_text(list_entry(state.barcode_types, k)));
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
