#pragma once
// One docking in a SQLite store: a write transaction (BEGIN IMMEDIATE) from the start,
// so that the scanner's pending records are read and its new batch added under one lock,
// and no other station docks the same scanner in between.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "store/sqlite_connection.h"
#include "store/store.h"

namespace vkd::store::sqlite {

class SqliteDocking final : public Docking {
 public:
  // Waits for the write lock (the connection's busy timeout), then records the scanner as
  // seen at `seen_at`.
  SqliteDocking(std::shared_ptr<Connection> connection, std::string scanner, const std::string& seen_at);

  std::vector<Record> pending_records() override;
  void end_pending(bool changed) override;
  std::int64_t add_batch(const NewBatch& batch) override;
  void commit() override;

 private:
  // Runs a step of the docking: once one has failed, or the docking is committed, there
  // is nothing left to add to, and a failed step undoes the whole docking at once, so
  // that no part of a batch can be committed after it.
  template <typename Step>
  auto inside(Step step) -> decltype(step());

  std::shared_ptr<Connection> connection_;
  WriteTransaction transaction_;
  std::string scanner_;
};

}  // namespace vkd::store::sqlite
