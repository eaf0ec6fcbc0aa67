#include "cli/download_report.h"

#include <cstdio>

#include "automation/variant.h"

namespace vkd::cli {

std::string iso_8601(Date date) {
  const DateParts parts = date_parts(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", parts.year, parts.month,
                parts.day, parts.hour, parts.minute, parts.second);
  return text;
}

DownloadReport download_report(Clicker& clicker) {
  DownloadReport report{.identifier = to_utf8(clicker.serial()),
                        .version = to_utf8(clicker.SwVersion()),
                        .clock = iso_8601(clicker.state().clock_date),
                        .count = clicker.num_barcodes(),
                        .records = {}};
  for (int index = 1; index <= report.count; ++index) {
    clicker.let_get_barcode(static_cast<std::int16_t>(index));
    const Variant type = clicker.stype();
    if (type.is_empty()) continue;
    report.records.push_back({.index = index,
                              .barcode = to_utf8(clicker.sbarcode()),
                              .code_type = to_int16(type),
                              .time = iso_8601(clicker.stime())});
  }
  return report;
}

}  // namespace vkd::cli
