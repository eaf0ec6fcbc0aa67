#pragma once
// One prepared statement, finalized with its object. Parameters are numbered from 1,
// columns from 0, as in SQLite.
#include <sqlite3.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "store/sqlite_connection.h"

namespace vkd::store::sqlite {

class Statement {
 public:
  // `doing` names the step in the messages of its failures.
  Statement(Connection& connection, std::string_view sql, std::string_view doing);
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;
  ~Statement() { sqlite3_finalize(statement_); }

  Statement& bind(int parameter, std::int64_t value);
  Statement& bind(int parameter, std::string_view text);
  Statement& bind(int parameter, const std::string& text) { return bind(parameter, std::string_view(text)); }
  Statement& bind(int parameter, const std::optional<std::string>& text);  // none: NULL
  Statement& bind_bytes(int parameter, std::string_view bytes);

  // The next row; false once there is none.
  bool step();
  // Runs a statement that returns no rows; how many rows it changed.
  int run();
  // Ready to run again with new parameters.
  void reset();

  std::int64_t integer(int column) const { return sqlite3_column_int64(statement_, column); }
  std::string text(int column) const;
  std::optional<std::string> optional_text(int column) const;
  std::string bytes(int column) const;

 private:
  Statement& check_bound(int result);

  Connection& connection_;
  std::string doing_;
  sqlite3_stmt* statement_ = nullptr;
};

}  // namespace vkd::store::sqlite
