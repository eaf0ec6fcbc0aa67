#include "cli/batch_output.h"

#include <span>
#include <string>

#include "cli/csv_output.h"
#include "files/hex.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {

namespace {

using nlohmann::ordered_json;

constexpr std::string_view separator = ",";
// The texts are valid UTF-8; replacing rather than throwing keeps a stray byte from
// costing the whole batch.
constexpr auto invalid_utf8 = ordered_json::error_handler_t::replace;

ordered_json record_object(const store::Record& record) {
  return {{"index", record.position},
          {"barcode", record.text},
          {"code_type", record.code_type},
          {"time", record.time ? ordered_json(*record.time) : ordered_json(nullptr)},
          {"barcode_hex", files::to_hex(record.barcode)},
          {"stamp_hex", files::to_hex(record.stamp)}};
}

ordered_json batch_head(const store::Batch& batch) {
  return {{"batch", batch.number},
          {"scanner", batch.scanner},
          {"station", batch.station},
          {"downloaded_at", batch.downloaded_at}};
}

}  // namespace

void BatchWriter::begin() {
  if (begun_) return;
  begun_ = true;
  if (format_ == BatchFormat::csv) {
    out_.write(csv_line({"batch", "scanner", "station", "downloaded_at", "index", "barcode", "code_type", "time",
                         "barcode_hex", "stamp_hex"},
                        separator));
  } else if (format_ == BatchFormat::json) {
    out_.write("{\"batches\": [");
  }
}

void BatchWriter::batch(const store::Batch& batch, const std::vector<store::Record>& records) {
  begin();
  switch (format_) {
    case BatchFormat::csv:
      for (const store::Record& record : records) {
        out_.write(csv_line({std::to_string(batch.number), batch.scanner, batch.station, batch.downloaded_at,
                             std::to_string(record.position), record.text, std::to_string(record.code_type),
                             record.time.value_or(""), files::to_hex(record.barcode), files::to_hex(record.stamp)},
                            separator));
      }
      return;
    case BatchFormat::jsonl:
      for (const store::Record& record : records) {
        ordered_json line = batch_head(batch);
        line.update(record_object(record));
        out_.write(line.dump(-1, ' ', false, invalid_utf8) + "\n");
      }
      return;
    case BatchFormat::json: {
      ordered_json document = batch_head(batch);
      document["count"] = batch.count;
      document["state"] = store::state_name(batch.state);
      document["possible_repeat"] = batch.possible_repeat;
      document["incomplete"] = batch.incomplete;
      document["records"] = ordered_json::array();
      for (const store::Record& record : records) document["records"].push_back(record_object(record));
      out_.write((first_batch_ ? "\n" : ",\n") + document.dump(-1, ' ', false, invalid_utf8));
      first_batch_ = false;
      return;
    }
  }
}

void BatchWriter::finish() {
  begin();
  if (format_ == BatchFormat::json) out_.write(first_batch_ ? "]}\n" : "\n]}\n");
}

}  // namespace vkd::cli
