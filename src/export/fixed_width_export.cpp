#include "export/fixed_width_export.h"

#include <cstdint>
#include <string_view>
#include <variant>

#include "automation/variant.h"
#include "export/clock_flag_field.h"
#include "export/field_text.h"
#include "state/list_entry.h"

namespace vkd {

namespace {

constexpr std::u16string_view format_tag = u"V01";
constexpr int serial_width = 16;         // "!" and 16 "@"
constexpr int clock_flag_width = 1;      // "@"
constexpr int clock_digits = 12;         // "000000000000"
constexpr int count_digits = 4;          // "0000"
constexpr int record_number_digits = 3;  // "000"
constexpr int barcode_width = 13;        // "!" and 13 "@"
constexpr int code_type_digits = 2;      // "00"

// A download leaves a 16-bit integer, taken as it is, or Empty for an entry it left
// unfilled, which reads as 0; whatever else a list could hold converts as the platform
// converts it.
std::int32_t code_type_number(const Variant& type) {
  if (const auto* number = std::get_if<std::int16_t>(&type.value())) return *number;
  return to_int32(type);
}

// The fields in their order. Both the counting and the writing go through here, so the
// fields counted are the fields written; fields grow past their widths (record numbers
// from 1000 on, code types from 100 on, long barcodes) rather than being cut.
template <class Output>
void write_fields(const ClickerState& state, Output& out) {
  const std::int32_t records = state.num_barcodes;
  out.append(format_tag);
  out.append_left_aligned(state.serial, serial_width);
  out.append_left_aligned(clock_flag_field(state.clock_flag), clock_flag_width);
  // clock_text under "000000000000". A clock read leaves twelve decimal digits there,
  // which the mask gives back unchanged, leading zeros included. A clock that was never
  // read leaves the initial NUL characters, which read as the number 0.
  if (state.clock_text.find_first_not_of(u'\0') == Text::npos) {
    out.append_zero_filled(0, clock_digits);
  } else {
    out.append(state.clock_text);
  }
  out.append_zero_filled(records, count_digits);

  const ListEntries texts(state.barcode_texts);
  const ListEntries types(state.barcode_types);
  const ListEntries times(state.barcode_times);
  for (std::int32_t k = 1; k <= records; ++k) {
    out.append_zero_filled(k, record_number_digits);
    out.append_left_aligned(texts[k], barcode_width);
    out.append_zero_filled(code_type_number(types[k]), code_type_digits);
    out.append_date(times[k]);
  }
}

}  // namespace

Text fixed_width_export(const ClickerState& state) {
  return counted_text([&](auto& output) { write_fields(state, output); });
}

}  // namespace vkd
