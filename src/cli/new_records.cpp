#include "cli/new_records.h"

#include <algorithm>

#include "cli/record_fields.h"

namespace vkd::cli {

namespace {

bool same_bytes(const store::Record& stored, const DownloadedRecord& read) {
  return stored.code_type == read.code_type && stored.barcode == read.barcode && stored.stamp == read.stamp;
}

bool identified(const Download& download) {
  return std::any_of(download.identifier.begin(), download.identifier.begin() + 8,
                     [](std::uint8_t byte) { return byte != 0; });
}

}  // namespace

NewRecords new_records(const std::vector<store::Record>& pending, const Download& download) {
  const std::vector<DownloadedRecord>& records = download.records;
  NewRecords result;
  result.end = static_cast<std::size_t>(
      std::ranges::find_if(records, [](const DownloadedRecord& r) { return r.state != RecordState::whole; }) -
      records.begin());
  result.incomplete =
      result.end < records.size() || records.size() < static_cast<std::size_t>(std::max<std::int16_t>(download.count, 0));
  if (!identified(download)) {
    result.ends_pending = result.possible_repeat = true;
    return result;
  }
  const std::size_t compared = std::min(pending.size(), result.end);
  const bool begins_alike = std::equal(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(compared),
                                       records.begin(), same_bytes);
  if (begins_alike && result.end < pending.size() && result.incomplete) {
    // An incomplete download that read less than the store holds: nothing to tell.
    result.first = result.end;
    return result;
  }
  if (!begins_alike || result.end < pending.size()) {
    result.ends_pending = result.changed = true;
    return result;
  }
  const bool stamped = std::all_of(records.begin(), records.begin() + static_cast<std::ptrdiff_t>(compared),
                                   [](const DownloadedRecord& record) { return record.time_known; });
  if (!stamped) {
    result.ends_pending = result.possible_repeat = true;
    return result;
  }
  result.first = compared;
  return result;
}

store::Record stored_record(const DownloadedRecord& record) {
  return {.position = record.index,
          .barcode = record.barcode,
          .text = barcode_text(record),
          .code_type = record.code_type,
          .time = record_time(record),
          .stamp = record.stamp};
}

}  // namespace vkd::cli
