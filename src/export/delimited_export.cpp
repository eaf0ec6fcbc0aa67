#include "export/delimited_export.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <variant>

#include "automation/variant.h"
#include "export/clock_flag_field.h"
#include "export/field_text.h"
#include "state/list_entry.h"

namespace vkd {

namespace {

constexpr std::u16string_view default_delimiter = u";";
constexpr std::u16string_view marker = u"DL";
constexpr std::u16string_view format_tag = u"V03";
constexpr std::u16string_view record_marker = u"BC";

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
  out.append(marker);
  field(format_tag);
  field(state.SwVersion);
  field(state.serial);
  field(clock_flag_field(state.clock_flag));
  date_field(state.clock_date);
  decimal_field(records);

  const ListEntries times(state.barcode_times);
  const ListEntries types(state.barcode_types);
  const ListEntries texts(state.barcode_texts);
  for (std::int32_t k = 1; k <= records; ++k) {
    field(record_marker);
    decimal_field(k);
    date_field(times[k]);
    code_type_field(types[k]);
    const Text& barcode = texts[k];
    decimal_field(static_cast<std::int64_t>(barcode.size()));
    field(barcode);
  }
}

}  // namespace

Text delimited_export(const ClickerState& state) {
  const std::u16string_view delimiter =
      state.pdelimiter.empty() ? default_delimiter : std::u16string_view(state.pdelimiter);
  return counted_text([&](auto& output) { write_fields(state, delimiter, output); });
}

}  // namespace vkd
