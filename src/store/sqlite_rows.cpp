#include "store/sqlite_rows.h"

#include <cstring>

#include "store/batch_state.h"

namespace vkd::store::sqlite {

Record record_of_row(const Statement& row) {
  Record record;
  record.position = static_cast<std::int32_t>(row.integer(0));
  record.barcode = row.bytes(1);
  record.text = row.text(2);
  record.code_type = static_cast<std::uint8_t>(row.integer(3));
  record.time = row.optional_text(4);
  const std::string stamp = row.bytes(5);
  // The table admits stamps of four bytes alone (its CHECK).
  if (stamp.size() == record.stamp.size()) std::memcpy(record.stamp.data(), stamp.data(), stamp.size());
  return record;
}

Batch batch_of_row(const Statement& row) {
  Batch batch;
  batch.number = row.integer(0);
  batch.scanner = row.text(1);
  batch.station = row.text(2);
  batch.downloaded_at = row.text(3);
  batch.count = static_cast<std::int32_t>(row.integer(4));
  batch.reported = static_cast<std::int32_t>(row.integer(5));
  // The table admits no other names than the four (its CHECK).
  batch.state = state_named(row.text(6)).value_or(BatchState::stored);
  batch.possible_repeat = row.integer(7) != 0;
  batch.incomplete = row.integer(8) != 0;
  batch.pending = row.integer(9) != 0;
  batch.outbox_wanted = row.integer(10) != 0;
  batch.outbox_file = row.optional_text(11);
  return batch;
}

}  // namespace vkd::store::sqlite
