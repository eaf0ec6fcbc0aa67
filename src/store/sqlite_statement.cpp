#include "store/sqlite_statement.h"

namespace vkd::store::sqlite {

Statement::Statement(Connection& connection, std::string_view sql, std::string_view doing)
    : connection_(connection), doing_(doing) {
  const int result = sqlite3_prepare_v2(connection_.handle(), sql.data(), static_cast<int>(sql.size()),
                                        &statement_, nullptr);
  if (result != SQLITE_OK) connection_.fail(result, doing_);
}

Statement& Statement::check_bound(int result) {
  if (result != SQLITE_OK) connection_.fail(result, doing_);
  return *this;
}

Statement& Statement::bind(int parameter, std::int64_t value) {
  return check_bound(sqlite3_bind_int64(statement_, parameter, value));
}

Statement& Statement::bind(int parameter, std::string_view text) {
  return check_bound(sqlite3_bind_text64(statement_, parameter, text.data(), text.size(), SQLITE_TRANSIENT,
                                         SQLITE_UTF8));
}

Statement& Statement::bind(int parameter, const std::optional<std::string>& text) {
  if (!text) return check_bound(sqlite3_bind_null(statement_, parameter));
  return bind(parameter, std::string_view(*text));
}

Statement& Statement::bind_bytes(int parameter, std::string_view bytes) {
  // An empty blob is still a blob, not NULL: SQLite takes a null pointer for NULL.
  static const char nothing = 0;
  return check_bound(sqlite3_bind_blob64(statement_, parameter, bytes.empty() ? &nothing : bytes.data(),
                                         bytes.size(), SQLITE_TRANSIENT));
}

bool Statement::step() {
  const int result = sqlite3_step(statement_);
  if (result == SQLITE_ROW) return true;
  if (result == SQLITE_DONE) return false;
  const StoreError error = connection_.error(result, doing_);
  // The statement must let go of its locks before the caller tries again or rolls back.
  sqlite3_reset(statement_);
  throw error;
}

int Statement::run() {
  while (step()) {
  }
  return sqlite3_changes(connection_.handle());
}

void Statement::reset() {
  sqlite3_reset(statement_);
  sqlite3_clear_bindings(statement_);
}

std::string Statement::text(int column) const {
  const auto* characters = reinterpret_cast<const char*>(sqlite3_column_text(statement_, column));
  return characters == nullptr ? std::string() : std::string(characters, sqlite3_column_bytes(statement_, column));
}

std::optional<std::string> Statement::optional_text(int column) const {
  if (sqlite3_column_type(statement_, column) == SQLITE_NULL) return std::nullopt;
  return text(column);
}

std::string Statement::bytes(int column) const {
  const auto* data = static_cast<const char*>(sqlite3_column_blob(statement_, column));
  return data == nullptr ? std::string() : std::string(data, sqlite3_column_bytes(statement_, column));
}

}  // namespace vkd::store::sqlite
