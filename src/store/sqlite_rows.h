#pragma once
// The columns the store reads a record or a batch from, and the reading of one row.
#include <string_view>

#include "store/sqlite_statement.h"
#include "store/store.h"

namespace vkd::store::sqlite {

// Of the table records, as `r`.
inline constexpr std::string_view record_columns = "r.position, r.barcode, r.text, r.code_type, r.time, r.stamp";
Record record_of_row(const Statement& row);

// Of the table batches, as `b`.
inline constexpr std::string_view batch_columns =
    "b.number, b.scanner, b.station, b.downloaded_at, b.count, b.reported, b.state, b.possible_repeat,"
    " b.incomplete, b.pending, b.outbox_wanted, b.outbox_file";
Batch batch_of_row(const Statement& row);

}  // namespace vkd::store::sqlite
