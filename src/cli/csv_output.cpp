#include "cli/csv_output.h"

#include <array>
#include <initializer_list>

#include "cli/record_fields.h"

namespace vkd::cli {

namespace {

constexpr std::array<std::string_view, 8> earlier_columns = {"index", "barcode",    "code_type", "time",
                                                            "identifier", "version", "clock", "count"};
constexpr std::array<std::string_view, 2> raw_byte_columns = {"stamp_hex", "clock_hex"};

class Line {
 public:
  explicit Line(std::string_view separator) : separator_(separator) {}
  void field(std::string_view text) {
    if (fields_++ > 0) text_ += separator_;
    text_ += csv_field(text, separator_);
  }
  void fields(std::initializer_list<std::string_view> texts) {
    for (const std::string_view text : texts) field(text);
  }
  void write_to(files::Sink& out) {
    text_ += csv_line_end;
    out.write(text_);
  }

 private:
  std::string_view separator_;
  std::string text_;
  int fields_ = 0;
};

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
    Line line(separator);
    line.fields({std::to_string(record.index), fields.barcode, std::to_string(record.code_type),
                 fields.time.value_or(""), scanner.identifier, version, scanner.clock.value_or(""), count});
    if (raw_bytes) line.fields({fields.stamp_hex, scanner.clock_hex});
    line.write_to(out);
  }
}

}  // namespace vkd::cli
