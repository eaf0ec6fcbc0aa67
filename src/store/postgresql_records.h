#pragma once
// How the PostgreSQL store writes records (COPY's text form) and reads them back.
#include <libpq-fe.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "store/store.h"

namespace vkd::store::postgresql {

// The columns of records that both name.
inline constexpr char record_columns[] = "position, barcode, text, code_type, time, stamp";

// One line per record, its batch first, then record_columns.
std::string copy_rows(std::int64_t batch, const std::vector<Record>& records);

// Row `row` of a result whose columns are record_columns.
Record record_of(const PGresult* result, int row);

// A bytea parameter or COPY field: \x and two hex digits per byte.
std::string bytea_text(std::string_view bytes);

}  // namespace vkd::store::postgresql
