#include "store/postgresql_store.h"

#include <functional>

#include "store/batch_state.h"
#include "store/postgresql_connection.h"
#include "store/postgresql_records.h"
#include "store/postgresql_schema.h"

namespace vkd::store {

namespace {

using postgresql::Connection;
using postgresql::Result;
using Kind = StoreError::Kind;

const std::string batch_columns =
    "number, scanner, station, downloaded_at, count, reported, state, possible_repeat, incomplete, pending, "
    "outbox_wanted, outbox_file";

std::string boolean_text(bool value) { return value ? "true" : "false"; }

BatchState state_of(const std::string& text) {
  if (const auto state = state_named(text)) return *state;
  throw StoreError(Kind::failed, "a batch in the unknown state \"" + text + "\"");
}

std::vector<Batch> batches_of(const Result& result) {
  std::vector<Batch> batches;
  const PGresult* rows = result.get();
  for (int row = 0; row < PQntuples(rows); ++row) {
    batches.push_back({.number = postgresql::number_field(rows, row, 0),
                       .scanner = postgresql::text_field(rows, row, 1),
                       .station = postgresql::text_field(rows, row, 2),
                       .downloaded_at = postgresql::text_field(rows, row, 3),
                       .count = static_cast<std::int32_t>(postgresql::number_field(rows, row, 4)),
                       .reported = static_cast<std::int32_t>(postgresql::number_field(rows, row, 5)),
                       .state = state_of(postgresql::text_field(rows, row, 6)),
                       .possible_repeat = postgresql::boolean_field(rows, row, 7),
                       .incomplete = postgresql::boolean_field(rows, row, 8),
                       .pending = postgresql::boolean_field(rows, row, 9),
                       .outbox_wanted = postgresql::boolean_field(rows, row, 10),
                       .outbox_file = postgresql::field(rows, row, 11)});
  }
  return batches;
}

std::vector<Record> records_of(const Result& result) {
  std::vector<Record> records;
  records.reserve(static_cast<std::size_t>(PQntuples(result.get())));
  for (int row = 0; row < PQntuples(result.get()); ++row) records.push_back(postgresql::record_of(result.get(), row));
  return records;
}

class PostgresqlDocking final : public Docking {
 public:
  PostgresqlDocking(Connection& connection, std::string scanner, const std::string& seen_at)
      : connection_(connection), scanner_(std::move(scanner)) {
    connection_.ensure();
    generation_ = connection_.generation();
    connection_.run("beginning the docking", "BEGIN");
    open_ = true;
    // The upsert holds the scanner's row locked until the transaction ends: a second
    // station docking it meanwhile waits here, and then reads what the first stored. A
    // scanner new to both is inserted by one; the other waits for that insert to commit.
    guarded([&] {
      connection_.run("holding the scanner",
                      "INSERT INTO scanners (identifier, first_seen, last_seen) VALUES ($1, $2, $2) "
                      "ON CONFLICT (identifier) DO UPDATE SET last_seen = excluded.last_seen",
                      {scanner_, seen_at});
    });
  }

  ~PostgresqlDocking() override {
    if (open_ && connection_.generation() == generation_) connection_.roll_back_quietly();
  }

  std::vector<Record> pending_records() override {
    return guarded([&] {
      return records_of(connection_.run(
          "reading the scanner's pending records",
          "SELECT r.position, r.barcode, r.text, r.code_type, r.time, r.stamp FROM records r "
          "JOIN batches b ON b.number = r.batch WHERE b.scanner = $1 AND b.pending ORDER BY b.number, r.position",
          {scanner_}));
    });
  }

  void end_pending(bool changed) override {
    guarded([&] {
      connection_.run("ending the scanner's pending batches",
                      "UPDATE batches SET pending = false, state = CASE WHEN $2 THEN 'changed' ELSE state END "
                      "WHERE scanner = $1 AND pending",
                      {scanner_, boolean_text(changed)});
    });
  }

  std::int64_t add_batch(const NewBatch& batch) override {
    return guarded([&] {
      const Result added = connection_.run(
          "adding the batch",
          "INSERT INTO batches (scanner, station, downloaded_at, count, reported, state, possible_repeat, "
          "incomplete, pending, outbox_wanted) VALUES ($1, $2, $3, $4, $5, 'stored', $6, $7, true, $8) "
          "RETURNING number",
          {scanner_, batch.station, batch.downloaded_at, std::to_string(batch.records.size()),
           std::to_string(batch.reported), boolean_text(batch.possible_repeat), boolean_text(batch.incomplete),
           boolean_text(batch.outbox_wanted)});
      const std::int64_t number = postgresql::number_field(added.get(), 0, 0);
      if (!batch.records.empty()) {
        connection_.copy_in("adding the batch's records",
                            std::string("COPY records (batch, ") + postgresql::record_columns + ") FROM STDIN",
                            postgresql::copy_rows(number, batch.records));
      }
      return number;
    });
  }

  void commit() override {
    guarded([&] {
      const Result committed = connection_.run("committing the docking", "COMMIT");
      open_ = false;
      // A transaction that had failed answers COMMIT with ROLLBACK.
      if (std::string_view(PQcmdStatus(committed.get())) != "COMMIT") {
        throw StoreError(Kind::failed, "the server rolled the docking back");
      }
    });
  }

 private:
  // Runs a step of the transaction while it is still ours; any failure ends it, rolled back.
  template <typename Step>
  auto guarded(Step step) -> decltype(step()) {
    if (connection_.generation() != generation_ || !connection_.connected()) {
      open_ = false;
      throw StoreError(Kind::lost, "store " + connection_.location().shown +
                                       ": lost the connection during the docking: nothing of it was stored");
    }
    if (!open_) throw StoreError(Kind::failed, "the docking's transaction has ended");
    try {
      return step();
    } catch (const StoreError&) {
      if (open_ && connection_.generation() == generation_) connection_.roll_back_quietly();
      open_ = false;
      throw;
    }
  }

  Connection& connection_;
  std::string scanner_;
  std::uint64_t generation_ = 0;
  bool open_ = false;
};

class PostgresqlStore final : public Store {
 public:
  explicit PostgresqlStore(const std::string& location) : connection_(postgresql_location(location)) {
    connection_.ensure(Kind::unusable);
    preparation_ = postgresql::prepare_schema(connection_);
  }

  std::string preparation() const { return postgresql::preparation_text(preparation_, connection_.location().schema); }

  std::unique_ptr<Docking> docking(const std::string& scanner, const std::string& seen_at) override {
    return std::make_unique<PostgresqlDocking>(connection_, scanner, seen_at);
  }

  void erase_done(std::int64_t batch, bool confirmed) override {
    in_transaction("recording the erase", [&] {
      // Under the scanner's lock, so as not to change a docking's pending batches under it.
      const Result held = connection_.run("holding the batch's scanner",
                                          "SELECT s.identifier FROM scanners s JOIN batches b ON b.scanner = "
                                          "s.identifier WHERE b.number = $1 FOR UPDATE OF s",
                                          {std::to_string(batch)});
      if (PQntuples(held.get()) == 0) throw StoreError(Kind::failed, "no batch " + std::to_string(batch));
      if (confirmed) {
        connection_.run("recording the erase",
                        "UPDATE batches SET state = 'emptied', pending = false "
                        "WHERE number = $1 OR (scanner = $2 AND pending AND number < $1)",
                        {std::to_string(batch), postgresql::text_field(held.get(), 0, 0)});
      } else {
        connection_.run("recording the erase", "UPDATE batches SET state = 'not emptied' WHERE number = $1",
                        {std::to_string(batch)});
      }
    });
  }

  void outbox_written(std::int64_t batch, const std::string& file) override {
    connection_.run("recording the outbox file", "UPDATE batches SET outbox_file = $2 WHERE number = $1",
                    {std::to_string(batch), file});
  }

  std::vector<Batch> awaiting_outbox(const std::string& station) override {
    return batches_of(connection_.run("reading the batches awaiting their outbox file",
                                      "SELECT " + batch_columns +
                                          " FROM batches WHERE station = $1 AND outbox_wanted AND outbox_file IS NULL "
                                          "ORDER BY number",
                                      {station}));
  }

  std::vector<Batch> batches(const BatchFilter& filter) override {
    const auto number = filter.number ? std::optional(std::to_string(*filter.number)) : std::nullopt;
    return batches_of(connection_.run("reading the batches",
                                      "SELECT " + batch_columns +
                                          " FROM batches WHERE ($1::bigint IS NULL OR number = $1) "
                                          "AND ($2::text IS NULL OR downloaded_at >= $2) "
                                          "AND ($3::text IS NULL OR scanner = $3) "
                                          "AND ($4::text IS NULL OR station = $4) ORDER BY number",
                                      {number, filter.since, filter.scanner, filter.station}));
  }

  std::vector<Record> records(std::int64_t batch) override {
    return records_of(connection_.run("reading the batch's records",
                                      std::string("SELECT ") + postgresql::record_columns +
                                          " FROM records WHERE batch = $1 ORDER BY position",
                                      {std::to_string(batch)}));
  }

 private:
  void in_transaction(std::string_view doing, const std::function<void()>& steps) {
    connection_.run(doing, "BEGIN");
    const std::uint64_t generation = connection_.generation();
    try {
      steps();
      connection_.run(doing, "COMMIT");
    } catch (const StoreError&) {
      if (connection_.generation() == generation) connection_.roll_back_quietly();
      throw;
    }
  }

  Connection connection_;
  postgresql::SchemaPreparation preparation_;
};

}  // namespace

std::unique_ptr<Store> open_postgresql_store(const std::string& location) {
  return std::make_unique<PostgresqlStore>(location);
}

std::string prepare_postgresql_store(const std::string& location) { return PostgresqlStore(location).preparation(); }

}  // namespace vkd::store
