#include "cli/record_fields.h"

#include <cstdio>

#include "automation/mask.h"
#include "component/download_texts.h"

namespace vkd::cli {

namespace {

std::span<const std::uint8_t> bytes_of(std::string_view text) {
  return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

std::string iso_8601(Date date) {
  const DateParts parts = date_parts(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.year, parts.month, parts.day,
                parts.hour, parts.minute, parts.second);
  return text;
}

std::string hex_of(std::span<const std::uint8_t> bytes) {
  std::string hex;
  hex.reserve(2 * bytes.size());
  for (const std::uint8_t byte : bytes) hex += to_utf8(hex_byte(byte));
  return hex;
}

ScannerFields scanner_fields(const Download& download) {
  return {.identifier = to_utf8(serial_text(download.identifier)),
          .version = to_utf8(version_text(download.version)),
          .clock = download.clock.in_range() ? std::optional(iso_8601(download.clock.date)) : std::nullopt,
          .clock_hex = hex_of(download.clock.bytes)};
}

RecordFields record_fields(const DownloadedRecord& record) {
  Text barcode;
  assign_text(barcode, record.barcode);
  return {.barcode = to_utf8(barcode),
          .barcode_hex = hex_of(bytes_of(record.barcode)),
          .time = record.time_known ? std::optional(iso_8601(record.time)) : std::nullopt,
          .stamp_hex = hex_of(record.stamp)};
}

}  // namespace vkd::cli
