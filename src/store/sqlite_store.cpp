#include "store/sqlite_store.h"

#include <filesystem>
#include <utility>

#include "store/sqlite_docking.h"
#include "store/sqlite_rows.h"
#include "store/sqlite_statement.h"

namespace vkd::store::sqlite {

namespace {

void make_folder_of(const std::string& file) {
  const std::filesystem::path folder = std::filesystem::path(std::u8string(file.begin(), file.end())).parent_path();
  if (folder.empty()) return;
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  if (error) throw StoreError(StoreError::Kind::unusable, "store " + file + ": cannot make its folder: " + error.message());
}

void use_write_ahead_log(Connection& connection) {
  Statement mode(connection, "PRAGMA journal_mode = WAL", "cannot keep a write-ahead log");
  mode.step();
  // A file the system lets us only read keeps its mode; writing it fails later, as read-only.
  if (mode.text(0) != "wal" && !connection.read_only()) {
    throw StoreError(StoreError::Kind::failed,
                     "store " + connection.file() + ": cannot keep a write-ahead log (the journal mode stays " +
                         mode.text(0) + ")");
  }
}

std::shared_ptr<Connection> connect(const std::string& file, const Settings& settings) {
  auto connection = std::make_shared<Connection>(file, settings.busy_timeout);
  // Nothing is written to a file before it is known to be a store, or empty.
  const bool lacks_steps = needs_steps(*connection, settings.steps);
  use_write_ahead_log(*connection);
  connection->execute("PRAGMA synchronous = FULL; PRAGMA foreign_keys = ON", "cannot set it up");
  if (lacks_steps) make_steps(*connection, settings.steps);
  return connection;
}

std::vector<Batch> batches_of(Statement& read) {
  std::vector<Batch> batches;
  while (read.step()) batches.push_back(batch_of_row(read));
  return batches;
}

}  // namespace

SqliteStore::SqliteStore(std::string file, Settings settings) : file_(std::move(file)), settings_(settings) {
  make_folder_of(file_);
  connection_ = connect(file_, settings_);
}

const std::shared_ptr<Connection>& SqliteStore::for_writing() {
  if (connection_->read_only()) connection_ = connect(file_, settings_);
  return connection_;
}

void SqliteStore::expect_batch(int changed, std::int64_t batch) const {
  if (changed == 0) {
    throw StoreError(StoreError::Kind::failed, "store " + file_ + ": there is no batch " + std::to_string(batch));
  }
}

std::unique_ptr<Docking> SqliteStore::docking(const std::string& scanner, const std::string& seen_at) {
  return std::make_unique<SqliteDocking>(for_writing(), scanner, seen_at);
}

void SqliteStore::erase_done(std::int64_t batch, bool confirmed) {
  const std::string doing = "cannot record the erase after batch " + std::to_string(batch);
  // One statement each: atomic without a transaction of its own.
  Statement update(*for_writing(),
                   confirmed ? "UPDATE batches SET state = 'emptied', pending = 0 WHERE number = ?1"
                               " OR (pending = 1 AND scanner = (SELECT scanner FROM batches WHERE number = ?1))"
                             : "UPDATE batches SET state = 'not emptied' WHERE number = ?1",
                   doing);
  expect_batch(update.bind(1, batch).run(), batch);
}

void SqliteStore::outbox_written(std::int64_t batch, const std::string& file) {
  Statement update(*for_writing(), "UPDATE batches SET outbox_file = ?2 WHERE number = ?1",
                   "cannot record the outbox file of batch " + std::to_string(batch));
  expect_batch(update.bind(1, batch).bind(2, std::string_view(file)).run(), batch);
}

std::vector<Batch> SqliteStore::awaiting_outbox(const std::string& station) {
  Statement read(*connection_,
                 "SELECT " + std::string(batch_columns) +
                     " FROM batches b WHERE b.station = ?1 AND b.outbox_wanted = 1 AND b.outbox_file IS NULL"
                     " ORDER BY b.number",
                 "cannot read the batches awaiting their outbox file");
  read.bind(1, station);
  return batches_of(read);
}

std::vector<Batch> SqliteStore::batches(const BatchFilter& filter) {
  Statement read(*connection_,
                 "SELECT " + std::string(batch_columns) +
                     " FROM batches b WHERE (?1 IS NULL OR b.number = ?1) AND (?2 IS NULL OR b.downloaded_at >= ?2)"
                     " AND (?3 IS NULL OR b.scanner = ?3) AND (?4 IS NULL OR b.station = ?4) ORDER BY b.number",
                 "cannot read the batches");
  if (filter.number) read.bind(1, *filter.number);
  read.bind(2, filter.since).bind(3, filter.scanner).bind(4, filter.station);
  return batches_of(read);
}

std::vector<Record> SqliteStore::records(std::int64_t batch) {
  Statement read(*connection_,
                 "SELECT " + std::string(record_columns) + " FROM records r WHERE r.batch = ?1 ORDER BY r.position",
                 "cannot read the records of batch " + std::to_string(batch));
  read.bind(1, batch);
  std::vector<Record> records;
  while (read.step()) records.push_back(record_of_row(read));
  return records;
}

}  // namespace vkd::store::sqlite
