#include "cli/record_fields.h"

#include <cstdio>

#include "component/download_texts.h"
#include "files/hex.h"

namespace vkd::cli {

std::string iso_8601(Date date) {
  const DateParts parts = date_parts(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.year, parts.month, parts.day,
                parts.hour, parts.minute, parts.second);
  return text;
}

ScannerFields scanner_fields(const Download& download) {
  return {.identifier = to_utf8(serial_text(download.identifier)),
          .version = to_utf8(version_text(download.version)),
          .clock = download.clock.in_range() ? std::optional(iso_8601(download.clock.date)) : std::nullopt,
          .clock_hex = files::to_hex(download.clock.bytes)};
}

std::string barcode_text(const DownloadedRecord& record) {
  Text barcode;
  assign_text(barcode, record.barcode);
  return to_utf8(barcode);
}

std::optional<std::string> record_time(const DownloadedRecord& record) {
  return record.time_known ? std::optional(iso_8601(record.time)) : std::nullopt;
}

RecordFields record_fields(const DownloadedRecord& record) {
  return {.barcode = barcode_text(record),
          .barcode_hex = files::to_hex(record.barcode),
          .time = record_time(record),
          .stamp_hex = files::to_hex(record.stamp)};
}

}  // namespace vkd::cli
