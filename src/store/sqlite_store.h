#pragma once
// The store in a SQLite file, the station's default: a write-ahead log, so that the
// command that lists batches never waits for a docking; full synchronous commits, so that
// a batch committed before the erase survives a power cut; foreign keys on; and a wait
// for the lock of the other station processes that write the same file.
#include <chrono>
#include <memory>
#include <string>

#include "store/schema.h"
#include "store/sqlite_connection.h"
#include "store/store.h"

namespace vkd::store::sqlite {

struct Settings {
  // How long a statement waits for another program's lock before it is StoreError busy.
  std::chrono::milliseconds busy_timeout{5000};
  // The steps of the schema (the tests add steps of later versions); they outlive the store.
  SchemaSteps steps = schema_steps();
};

class SqliteStore final : public Store {
 public:
  // Opens `file` (UTF-8), creating it and its folder when missing, and makes the schema
  // steps it lacks.
  explicit SqliteStore(std::string file, Settings settings = {});

  std::unique_ptr<Docking> docking(const std::string& scanner, const std::string& seen_at) override;
  void erase_done(std::int64_t batch, bool confirmed) override;
  void outbox_written(std::int64_t batch, const std::string& file) override;
  std::vector<Batch> awaiting_outbox(const std::string& station) override;
  std::vector<Batch> batches(const BatchFilter& filter) override;
  std::vector<Record> records(std::int64_t batch) override;

 private:
  // The connection, opened anew when the system let it only read the file: a file made
  // writable again is written by the same store.
  const std::shared_ptr<Connection>& for_writing();
  // Fails when `changed`, the rows a statement on `batch` changed, is 0.
  void expect_batch(int changed, std::int64_t batch) const;

  std::string file_;
  Settings settings_;
  std::shared_ptr<Connection> connection_;
};

}  // namespace vkd::store::sqlite
