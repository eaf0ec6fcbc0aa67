#include "export/delimited_export.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "automation/mask.h"
#include "automation/variant.h"
#include "export/clock_flag_field.h"
#include "export/list_entry.h"

namespace vkd {

namespace {

constexpr std::u16string_view default_delimiter = u";";
constexpr std::size_t header_fields = 7;
constexpr std::size_t record_fields = 6;
// Header and record without their delimiters, with a 13-character barcode: the size the
// buffer is reserved for. Longer texts only make it grow.
constexpr std::size_t header_length = 50;
constexpr std::size_t record_length = 40;

}  // namespace

Text delimited_export(const ClickerState& state) {
  const std::u16string_view delimiter =
      state.pdelimiter.empty() ? default_delimiter : std::u16string_view(state.pdelimiter);
  const std::int32_t records = state.num_barcodes;

  Text text;
  text.reserve(header_length + header_fields * delimiter.size() +
               (record_length + record_fields * delimiter.size()) *
                   static_cast<std::size_t>(std::max(records, 0)));
  // Every field but the very first starts with the delimiter.
  const auto next_field = [&]() -> Text& { return text += delimiter; };

  text += u"DL";
  next_field() += u"V03";
  next_field() += state.SwVersion;
  next_field() += state.serial;
  next_field() += clock_flag_field(state.clock_flag);
  append_yyyymmddhhnnss(next_field(), state.clock_date);
  append_decimal(next_field(), records);

  for (std::int32_t k = 1; k <= records; ++k) {
    next_field() += u"BC";
    append_decimal(next_field(), k);
    append_yyyymmddhhnnss(next_field(), list_entry(state.barcode_times, k));
    // An entry the download left unfilled is Empty, whose text is empty.
    next_field() += to_text(list_entry(state.barcode_types, k));
    const Text& barcode = list_entry(state.barcode_texts, k);
    append_decimal(next_field(), static_cast<std::int64_t>(barcode.size()));
    next_field() += barcode;
  }
  return text;
}

}  // namespace vkd
