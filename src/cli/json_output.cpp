#include "cli/json_output.h"

#include "nlohmann/json.hpp"

namespace vkd::cli {

namespace {

// The texts come from to_utf8 and are valid UTF-8; replacing rather than throwing keeps
// a stray byte from costing the whole download.
constexpr auto invalid_utf8 = nlohmann::ordered_json::error_handler_t::replace;

}  // namespace

std::string json_output(const DownloadReport& report) {
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const RecordRow& record : report.records) {
    records.push_back(
        {{"index", record.index},
         {"barcode", record.barcode},
         {"code_type", record.code_type},
         {"time", record.time}});
  }
  const nlohmann::ordered_json document = {{"identifier", report.identifier},
                                           {"version", report.version},
                                           {"clock", report.clock},
                                           {"count", report.count},
                                           {"records", std::move(records)}};
  return document.dump(2, ' ', false, invalid_utf8) + "\n";
}

std::string jsonl_output(const DownloadReport& report) {
  std::string lines;
  for (const RecordRow& record : report.records) {
    const nlohmann::ordered_json line = {{"identifier", report.identifier},
                                         {"index", record.index},
                                         {"barcode", record.barcode},
                                         {"code_type", record.code_type},
                                         {"time", record.time}};
    lines += line.dump(-1, ' ', false, invalid_utf8) + "\n";
  }
  return lines;
}

}  // namespace vkd::cli
