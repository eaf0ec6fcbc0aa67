#include "cli/csv_output.h"

#include <initializer_list>

namespace vkd::cli {

namespace {

constexpr std::string_view line_end = "\r\n";

void append_line(std::string& out, std::initializer_list<std::string_view> fields,
                 std::string_view separator) {
  bool first = true;
  for (const std::string_view field : fields) {
    if (!first) out += separator;
    out += csv_field(field, separator);
    first = false;
  }
  out += line_end;
}

std::string without_trailing_nuls(std::string text) {
  text.erase(text.find_last_not_of('\0') + 1);
  return text;
}

}  // namespace

std::string csv_field(std::string_view field, std::string_view separator) {
  if (field.find(separator) == std::string_view::npos &&
      field.find_first_of("\"\r\n") == std::string_view::npos) {
    return std::string(field);
  }
  std::string quoted = "\"";
  for (const char c : field) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string csv_output(const DownloadReport& report, std::string_view separator, bool with_header) {
  std::string out;
  if (with_header) {
    append_line(
        out, {"index", "barcode", "code_type", "time", "identifier", "version", "clock", "count"},
        separator);
  }
  const std::string version = without_trailing_nuls(report.version);
  const std::string count = std::to_string(report.count);
  for (const RecordRow& record : report.records) {
    append_line(out,
                {std::to_string(record.index), record.barcode, std::to_string(record.code_type),
                 record.time, report.identifier, version, report.clock, count},
                separator);
  }
  return out;
}

}  // namespace vkd::cli
