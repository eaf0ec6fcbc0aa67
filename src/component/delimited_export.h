#pragma once
// The delimited text of a download (the property alldata2): "DL", "V03" and the header
// fields, then six fields per barcode, joined by a delimiter (pdelimiter, ";" when it is
// empty). The delimiter is used whole and nothing is escaped: each barcode's length field
// tells a reader where it ends. From the fields, a list that is missing or shorter than
// num_barcodes is error 9, and a text longer than 2^31 - 1 characters, more than a host's
// text or length_alldata2 holds, is error 6 (overflow); either is found before the text
// is built, and then no text at all is produced.
#include <cstdint>
#include <string_view>
#include <variant>

#include "automation/text.h"
#include "automation/variant.h"
#include "component/clicker_fields.h"
#include "component/export_source.h"

namespace vkd {

namespace delimited {

inline constexpr std::u16string_view default_delimiter = u";";
inline constexpr std::u16string_view marker = u"DL";
inline constexpr std::u16string_view format_tag = u"V03";
inline constexpr std::u16string_view record_marker = u"BC";

}  // namespace delimited

// The fields in their order, each but the very first after the delimiter, into an export
// output (export_text.h). Counting and writing both go through here, so the fields
// counted are the fields built.
template <class Source, class Output>
void write_delimited(Source& source, std::u16string_view delimiter, Output& out) {
  using namespace delimited;
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

  const ExportHeader header = source.header();
  out.append(marker);
  field(format_tag);
  field(header.version);
  field(header.serial);
  field(header.clock_flag);
  date_field(header.clock_date);
  decimal_field(header.records);
  for (std::int32_t k = 1; k <= header.records; ++k) {
    const ExportRecord record = source.record(k);
    field(record_marker);
    decimal_field(k);
    date_field(record.time);
    code_type_field(record.type);
    decimal_field(static_cast<std::int64_t>(record.barcode.size()));
    field(record.barcode);
  }
}

// pdelimiter, or ";" when it is empty.
inline std::u16string_view delimiter_of(const Text& pdelimiter) {
  return pdelimiter.empty() ? delimited::default_delimiter : std::u16string_view(pdelimiter);
}

Text delimited_export(const ClickerFields& fields);

}  // namespace vkd
