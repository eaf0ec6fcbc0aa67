#pragma once
// The PostgreSQL store's one connection to its server, through libpq: made at the first
// call after it was lost, each statement's failure told as a StoreError of its kind.
#include <libpq-fe.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/postgresql_location.h"
#include "store/store.h"

namespace vkd::store::postgresql {

struct ResultDeleter {
  void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, ResultDeleter>;

using Parameter = std::optional<std::string>;  // none: NULL

// A field of a result row, as text; none for NULL.
std::optional<std::string> field(const PGresult* result, int row, int column);
std::string text_field(const PGresult* result, int row, int column);  // "" for NULL
std::int64_t number_field(const PGresult* result, int row, int column);
bool boolean_field(const PGresult* result, int row, int column);

class Connection {
 public:
  explicit Connection(PostgresqlLocation location);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  const PostgresqlLocation& location() const { return location_; }

  // Connected, connecting anew when it was lost; a server that cannot be reached is
  // StoreError of `unreachable`.
  void ensure(StoreError::Kind unreachable = StoreError::Kind::lost);
  // Counts the connections made: a transaction begun on one is gone with it.
  std::uint64_t generation() const { return generation_; }
  bool connected() const;

  // One statement with its parameters as text. A failure throws its StoreError, lost when
  // the connection went with it; `doing` says what it was for.
  Result run(std::string_view doing, const std::string& sql, const std::vector<Parameter>& parameters = {});
  // COPY ... FROM STDIN of `rows`, in COPY's text form.
  void copy_in(std::string_view doing, const std::string& sql, std::string_view rows);
  // Ends a transaction that will not be committed; for destructors: never throws.
  void roll_back_quietly() noexcept;

 private:
  void connect(StoreError::Kind unreachable);
  [[noreturn]] void fail(std::string_view doing, const PGresult* result);

  PostgresqlLocation location_;
  PGconn* connection_ = nullptr;
  std::uint64_t generation_ = 0;
};

// "name" as SQL quotes an identifier.
std::string quoted_identifier(std::string_view name);

}  // namespace vkd::store::postgresql
