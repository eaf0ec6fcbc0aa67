#include "cli/json_output.h"

#include "nlohmann/json.hpp"

namespace vkd::cli {

std::string json_output(const DownloadReport& report) {
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const RecordRow& record : report.records) {
    records.push_back(
        {{"index", record.index},
         {"barcode", record.barcode},
         {"code_type", record.code_type ? nlohmann::ordered_json(*record.code_type) : nullptr},
         {"time", record.time}});
  }
  const nlohmann::ordered_json document = {{"identifier", report.identifier},
                                           {"version", report.version},
                                           {"clock", report.clock},
                                           {"count", report.count},
                                           {"records", std::move(records)}};
  // The texts come from to_utf8 and are valid UTF-8; replacing rather than throwing keeps
  // a stray byte from costing the whole download.
  return document.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

}  // namespace vkd::cli
