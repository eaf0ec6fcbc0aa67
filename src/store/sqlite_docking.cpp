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
    Statement add_record(*connection_,
                         "INSERT INTO records (batch, position, barcode, text, code_type, time, stamp)"
                         " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
                         doing);
    for (const Record& record : batch.records) {
      add_record.reset();
      add_record.bind(1, number)
          .bind(2, std::int64_t{record.position})
          .bind_bytes(3, record.barcode)
          .bind(4, std::string_view(record.text))
          .bind(5, std::int64_t{record.code_type})
          .bind(6, record.time)
          .bind_bytes(7, std::string_view(reinterpret_cast<const char*>(record.stamp.data()), record.stamp.size()))
          .run();
    }
    return number;
  });
}

void SqliteDocking::commit() {
  inside([this] { transaction_.commit(); });
}

}  // namespace vkd::store::sqlite
