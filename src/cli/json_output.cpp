#include "cli/json_output.h"

#include "cli/record_fields.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {

namespace {

using nlohmann::ordered_json;

// The texts come from to_utf8 and are valid UTF-8; replacing rather than throwing keeps a
// stray byte from costing the whole download.
constexpr auto invalid_utf8 = ordered_json::error_handler_t::replace;

ordered_json text_or_null(const std::optional<std::string>& text) { return text ? ordered_json(*text) : nullptr; }

// The fields of a record in their order, after what the form puts in front of them.
void add_record_fields(ordered_json& object, const DownloadedRecord& record) {
  const RecordFields fields = record_fields(record);
  object["index"] = record.index;
  object["barcode"] = fields.barcode;
  object["code_type"] = record.code_type;
  object["time"] = text_or_null(fields.time);
  object["barcode_hex"] = fields.barcode_hex;
  object["stamp_hex"] = fields.stamp_hex;
}

// The document is indented by two; each record, one level down, is written as it comes
// rather than kept in one document in memory.
std::string indented(const std::string& dumped, std::string_view by) {
  std::string text(by);
  for (const char c : dumped) {
    text += c;
    if (c == '\n') text += by;
  }
  return text;
}

}  // namespace

void write_json(const Download& download, files::Sink& out) {
  const ScannerFields scanner = scanner_fields(download);
  ordered_json head = {{"identifier", scanner.identifier},
                       {"version", scanner.version},
                       {"clock", text_or_null(scanner.clock)},
                       {"count", download.count},
                       {"clock_hex", scanner.clock_hex}};
  std::string text = head.dump(2, ' ', false, invalid_utf8);
  text.erase(text.size() - 2);  // the closing "\n}"
  bool first = true;
  for (const DownloadedRecord& record : download.records) {
    if (record.state != RecordState::whole) continue;
    text += first ? ",\n  \"records\": [\n" : ",\n";
    first = false;
    ordered_json object = ordered_json::object();
    add_record_fields(object, record);
    text += indented(object.dump(2, ' ', false, invalid_utf8), "    ");
    out.write(text);
    text.clear();
  }
  text += first ? ",\n  \"records\": []\n}\n" : "\n  ]\n}\n";
  out.write(text);
}

void write_json_lines(const Download& download, files::Sink& out) {
  const std::string identifier = scanner_fields(download).identifier;
  for (const DownloadedRecord& record : download.records) {
    if (record.state != RecordState::whole) continue;
    ordered_json line = {{"identifier", identifier}};
    add_record_fields(line, record);
    out.write(line.dump(-1, ' ', false, invalid_utf8) + "\n");
  }
}

}  // namespace vkd::cli
