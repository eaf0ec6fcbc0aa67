#include "store/sqlite_connection.h"

#include "store/sqlite_errors.h"

namespace vkd::store::sqlite {

Connection::Connection(const std::string& file, std::chrono::milliseconds busy_timeout) : file_(file) {
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_EXRESCODE;
  const int opened = sqlite3_open_v2(file.c_str(), &db_, flags, nullptr);
  if (opened != SQLITE_OK) {
    const StoreError error = error_of(db_, opened, file_, "cannot open it");
    sqlite3_close(db_);
    throw StoreError(StoreError::Kind::unusable, error.what());
  }
  sqlite3_busy_timeout(db_, static_cast<int>(busy_timeout.count()));
}

Connection::~Connection() { sqlite3_close_v2(db_); }

bool Connection::read_only() const { return sqlite3_db_readonly(db_, "main") == 1; }

bool Connection::in_transaction() const { return sqlite3_get_autocommit(db_) == 0; }

void Connection::execute(const std::string& sql, std::string_view doing) {
  const int result = sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr);
  if (result != SQLITE_OK) fail(result, doing);
}

StoreError Connection::error(int code, std::string_view doing) const { return error_of(db_, code, file_, doing); }

WriteTransaction::WriteTransaction(Connection& connection) : connection_(connection) {
  connection_.execute("BEGIN IMMEDIATE", "cannot lock it for writing");
  open_ = true;
}

void WriteTransaction::commit() {
  try {
    connection_.execute("COMMIT", "cannot commit");
  } catch (...) {
    roll_back();
    throw;
  }
  open_ = false;
}

void WriteTransaction::roll_back() noexcept {
  if (!open_) return;
  open_ = false;
  // SQLite has undone the transaction itself after some failures (a full disk, an I/O
  // error); a ROLLBACK then would only fail.
  if (connection_.in_transaction()) sqlite3_exec(connection_.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
}

}  // namespace vkd::store::sqlite
