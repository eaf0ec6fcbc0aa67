#include "cli/csv_output.h"

#include <array>
#include <initializer_list>

#include "cli/record_fields.h"

namespace vkd::cli {

namespace {

constexpr std::array<std::string_view, 8> earlier_columns = {"index", "barcode",    "code_type", "time",
                                                            "identifier", "version", "clock", "count"};
constexpr std::array<std::string_view, 2> raw_byte_columns = {"stamp_hex", "clock_hex"};

std::string header_line(std::string_view separator, bool raw_bytes) {
  std::string line;
  for (const std::string_view column : earlier_columns) line.append(line.empty() ? "" : separator).append(column);
  if (raw_bytes) {
    for (const std::string_view column : raw_byte_columns) line.append(separator).append(column);
  }
  return line;
}

std::string without_trailing_nuls(std::string text) {
  text.erase(text.find_last_not_of('\0') + 1);
  return text;
}

}  // namespace

std::string csv_field(std::string_view field, std::string_view separator) {
  if (field.find(separator) == std::string_view::npos && field.find_first_of("\"\r\n") == std::string_view::npos) {
    return std::string(field);
  }
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string csv_line(std::initializer_list<std::string_view> fields, std::string_view separator) {
  std::string line;
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) line += separator;
    line += csv_field(field, separator);
    first = false;
  }
  line += csv_line_end;
  return line;
}

CsvColumns columns_of_header(std::string_view first_line, std::string_view separator) {
  if (first_line.ends_with(csv_line_end)) first_line.remove_suffix(csv_line_end.size());
  return first_line == header_line(separator, false) ? CsvColumns::without_raw_bytes : CsvColumns::current;
}

void write_csv(const Download& download, std::string_view separator, CsvColumns continued, files::Sink& out) {
  const bool raw_bytes = continued != CsvColumns::without_raw_bytes;
  if (continued == CsvColumns::new_file) out.write(header_line(separator, raw_bytes) + std::string(csv_line_end));
  const ScannerFields scanner = scanner_fields(download);
  const std::string version = without_trailing_nuls(scanner.version);
  const std::string count = std::to_string(download.count);
  for (const DownloadedRecord& record : download.records) {
    if (record.state != RecordState::whole) continue;
    const RecordFields fields = record_fields(record);
    const std::string index = std::to_string(record.index);
    const std::string code_type = std::to_string(record.code_type);
    const std::string time = fields.time.value_or("");
    const std::string clock = scanner.clock.value_or("");
    out.write(raw_bytes ? csv_line({index, fields.barcode, code_type, time, scanner.identifier, version, clock,
                                    count, fields.stamp_hex, scanner.clock_hex},
                                   separator)
                        : csv_line({index, fields.barcode, code_type, time, scanner.identifier, version, clock,
                                    count},
                                   separator));
  }
}

}  // namespace vkd::cli
