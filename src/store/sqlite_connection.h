#pragma once
// One open SQLite file, closed with its object, and the write transactions on it. Every
// failure is a StoreError that names the file.
#include <sqlite3.h>

#include <chrono>
#include <string>
#include <string_view>

#include "store/store.h"

namespace vkd::store::sqlite {

class Connection {
 public:
  // Opens or creates `file` (UTF-8), waiting up to `busy_timeout` for another program's
  // lock at each statement. Nothing is read yet: a file that is no SQLite database shows
  // at the first statement.
  Connection(const std::string& file, std::chrono::milliseconds busy_timeout);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();

  sqlite3* handle() const { return db_; }
  const std::string& file() const { return file_; }
  // The file could only be opened for reading (the system refused writing).
  bool read_only() const;
  bool in_transaction() const;

  // Runs statements that return no rows.
  void execute(const std::string& sql, std::string_view doing);
  // The StoreError of the last call, which returned `code`; fail throws it.
  StoreError error(int code, std::string_view doing) const;
  [[noreturn]] void fail(int code, std::string_view doing) const { throw error(code, doing); }

 private:
  std::string file_;
  sqlite3* db_ = nullptr;
};

// BEGIN IMMEDIATE: the write lock of the whole file from the start, so that what the
// transaction reads cannot change before it writes. Rolled back unless committed.
class WriteTransaction {
 public:
  explicit WriteTransaction(Connection& connection);
  WriteTransaction(const WriteTransaction&) = delete;
  WriteTransaction& operator=(const WriteTransaction&) = delete;
  ~WriteTransaction() { roll_back(); }

  bool open() const { return open_; }
  void commit();
  void roll_back() noexcept;

 private:
  Connection& connection_;
  bool open_ = false;
};

}  // namespace vkd::store::sqlite
