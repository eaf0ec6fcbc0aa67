#include "store/sqlite_docking.h"

#include <utility>

#include "store/sqlite_rows.h"
#include "store/sqlite_statement.h"

namespace vkd::store::sqlite {

SqliteDocking::SqliteDocking(std::shared_ptr<Connection> connection, std::string scanner, const std::string& seen_at)
    : connection_(std::move(connection)), transaction_(*connection_), scanner_(std::move(scanner)) {
  Statement seen(*connection_,
                 "INSERT INTO scanners (identifier, first_seen, last_seen) VALUES (?1, ?2, ?2)"
                 " ON CONFLICT (identifier) DO UPDATE SET last_seen = excluded.last_seen",
                 "cannot record scanner " + scanner_);
  seen.bind(1, scanner_).bind(2, seen_at).run();
}

template <typename Step>
auto SqliteDocking::inside(Step step) -> decltype(step()) {
  if (!transaction_.open()) {
    throw StoreError(StoreError::Kind::failed,
                     "store " + connection_->file() + ": the docking of scanner " + scanner_ + " is over");
  }
  try {
    return step();
  } catch (...) {
    transaction_.roll_back();
    throw;
  }
}

std::vector<Record> SqliteDocking::pending_records() {
  return inside([this] {
    Statement read(*connection_,
                   "SELECT " + std::string(record_columns) +
                       " FROM batches b JOIN records r ON r.batch = b.number"
                       " WHERE b.scanner = ?1 AND b.pending = 1 ORDER BY b.number, r.position",
                   "cannot read the pending records of scanner " + scanner_);
    read.bind(1, scanner_);
    std::vector<Record> records;
    while (read.step()) records.push_back(record_of_row(read));
    return records;
  });
}

void SqliteDocking::end_pending(bool changed) {
  inside([this, changed] {
    Statement end(*connection_,
                  "UPDATE batches SET pending = 0, state = CASE WHEN ?2 THEN 'changed' ELSE state END"
                  " WHERE scanner = ?1 AND pending = 1",
                  "cannot end the pending batches of scanner " + scanner_);
    end.bind(1, scanner_).bind(2, std::int64_t{changed}).run();
  });
}

namespace {

// Rows per INSERT: a whole scanner's records in few statements, since each statement's
// run costs about as much as the rows it writes; within SQLite's limit of parameters.
constexpr std::size_t rows_per_insert = 64;
constexpr int columns_per_record = 7;

std::string insert_of_rows(std::size_t rows) {
  std::string sql = "INSERT INTO records (batch, position, barcode, text, code_type, time, stamp) VALUES ";
  for (std::size_t row = 0; row < rows; ++row) sql += row == 0 ? "(?,?,?,?,?,?,?)" : ",(?,?,?,?,?,?,?)";
  return sql;
}

void bind_record(Statement& insert, int first, std::int64_t batch, const Record& record) {
  insert.bind(first, batch)
      .bind(first + 1, std::int64_t{record.position})
      .bind_bytes(first + 2, record.barcode)
      .bind(first + 3, std::string_view(record.text))
      .bind(first + 4, std::int64_t{record.code_type})
      .bind(first + 5, record.time)
      .bind_bytes(first + 6, std::string_view(reinterpret_cast<const char*>(record.stamp.data()), record.stamp.size()));
}

}  // namespace

void SqliteDocking::add_records(std::int64_t batch, const std::vector<Record>& records, const std::string& doing) {
  const auto insert = [&](Statement& statement, std::size_t first, std::size_t rows) {
    statement.reset();
    for (std::size_t row = 0; row < rows; ++row) {
      bind_record(statement, static_cast<int>(row) * columns_per_record + 1, batch, records[first + row]);
    }
    statement.run();
  };
  const std::size_t whole = records.size() / rows_per_insert;
  const std::size_t rest = records.size() % rows_per_insert;
  if (whole > 0) {
    Statement full(*connection_, insert_of_rows(rows_per_insert), doing);
    for (std::size_t i = 0; i < whole; ++i) insert(full, i * rows_per_insert, rows_per_insert);
  }
  if (rest > 0) {
    Statement last(*connection_, insert_of_rows(rest), doing);
    insert(last, whole * rows_per_insert, rest);
  }
}

std::int64_t SqliteDocking::add_batch(const NewBatch& batch) {
  return inside([this, &batch] {
    const std::string doing = "cannot add a batch of scanner " + scanner_;
    Statement add(*connection_,
                  "INSERT INTO batches (scanner, station, downloaded_at, count, reported, state, possible_repeat,"
                  " incomplete, pending, outbox_wanted) VALUES (?1, ?2, ?3, ?4, ?5, 'stored', ?6, ?7, 1, ?8)",
                  doing);
    add.bind(1, scanner_)
        .bind(2, batch.station)
        .bind(3, batch.downloaded_at)
        .bind(4, static_cast<std::int64_t>(batch.records.size()))
        .bind(5, std::int64_t{batch.reported})
        .bind(6, std::int64_t{batch.possible_repeat})
        .bind(7, std::int64_t{batch.incomplete})
        .bind(8, std::int64_t{batch.outbox_wanted})
        .run();
    const std::int64_t number = sqlite3_last_insert_rowid(connection_->handle());
    add_records(number, batch.records, doing);
    return number;
  });
}

void SqliteDocking::commit() {
  inside([this] { transaction_.commit(); });
}

}  // namespace vkd::store::sqlite
