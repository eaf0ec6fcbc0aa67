#pragma once
// The fixed-width text of a download (the property alldata): a "V01" header and one
// record per barcode, no separators. Fields grow beyond their widths instead of being
// cut. From the fields, a list that is missing or shorter than num_barcodes is error 9,
// and then no text at all is produced.
#include <cstdint>
#include <string_view>
#include <variant>

#include "automation/text.h"
#include "automation/variant.h"
#include "component/clicker_fields.h"
#include "component/export_source.h"

namespace vkd {

namespace fixed_width {

inline constexpr std::u16string_view format_tag = u"V01";
inline constexpr int serial_width = 16;         // "!" and 16 "@"
inline constexpr int clock_flag_width = 1;      // "@"
inline constexpr int clock_digits = 12;         // "000000000000"
inline constexpr int count_digits = 4;          // "0000"
inline constexpr int record_number_digits = 3;  // "000"
inline constexpr int barcode_width = 13;        // "!" and 13 "@"
inline constexpr int code_type_digits = 2;      // "00"

// A download leaves a 16-bit integer, taken as it is, or Empty for an entry it left
// unfilled, which reads as 0; whatever else a list could hold converts as the platform
// converts it.
inline std::int32_t code_type_number(const Variant& type) {
  if (const auto* number = std::get_if<std::int16_t>(&type.value())) return *number;
  return to_int32(type);
}

}  // namespace fixed_width

// The fields in their order, into an export output (export_text.h). Counting and writing
// both go through here, so the fields counted are the fields written.
template <class Source, class Output>
void write_fixed_width(Source& source, Output& out) {
  using namespace fixed_width;
  const ExportHeader header = source.header();
  out.append(format_tag);
  out.append_left_aligned(header.serial, serial_width);
  out.append_left_aligned(header.clock_flag, clock_flag_width);
  // The clock text under "000000000000": a clock read leaves twelve decimal digits there,
  // which the mask gives back unchanged, leading zeros included; a clock never read
  // reads as the number 0.
  if (header.clock_text.empty()) {
    out.append_zero_filled(0, clock_digits);
  } else {
    out.append(header.clock_text);
  }
  out.append_zero_filled(header.records, count_digits);
  for (std::int32_t k = 1; k <= header.records; ++k) {
    const ExportRecord record = source.record(k);
    out.append_zero_filled(k, record_number_digits);
    out.append_left_aligned(record.barcode, barcode_width);
    out.append_zero_filled(code_type_number(record.type), code_type_digits);
    out.append_date(record.time);
  }
}

Text fixed_width_export(const ClickerFields& fields);

}  // namespace vkd
