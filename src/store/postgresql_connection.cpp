#include "store/postgresql_connection.h"

#include <charconv>
#include <cstdlib>

namespace vkd::store::postgresql {

namespace {

using Kind = StoreError::Kind;

// libpq's messages run over lines and end with one: one line for ours.
std::string one_line(const char* message) {
  std::string text = message ? message : "";
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  for (std::size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at)) text.replace(at, 1, "; ");
  return text.empty() ? "no reason given" : text;
}

// What a failed statement's SQLSTATE means for the station.
Kind kind_of(std::string_view state) {
  if (state.starts_with("08") || state == "57P01" || state == "57P02" || state == "57P03") return Kind::lost;
  if (state == "53100") return Kind::full;
  if (state.starts_with("53") || state.starts_with("40") || state == "55P03" || state == "57014") return Kind::busy;
  if (state == "42501" || state == "25006") return Kind::read_only;
  return Kind::failed;
}

}  // namespace

std::optional<std::string> field(const PGresult* result, int row, int column) {
  if (PQgetisnull(result, row, column)) return std::nullopt;
  return std::string(PQgetvalue(result, row, column), static_cast<std::size_t>(PQgetlength(result, row, column)));
}

std::string text_field(const PGresult* result, int row, int column) {
  return field(result, row, column).value_or(std::string());
}

std::int64_t number_field(const PGresult* result, int row, int column) {
  const std::string text = text_field(result, row, column);
  std::int64_t number = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
  if (error != std::errc() || end != text.data() + text.size()) {
    throw StoreError(Kind::failed, "the server answered \"" + text + "\" where a number belongs");
  }
  return number;
}

bool boolean_field(const PGresult* result, int row, int column) { return text_field(result, row, column) == "t"; }

std::string quoted_identifier(std::string_view name) {
  std::string quoted = "\"";
  for (const char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

Connection::Connection(PostgresqlLocation location) : location_(std::move(location)) {}

Connection::~Connection() {
  if (connection_) PQfinish(connection_);
}

bool Connection::connected() const { return connection_ && PQstatus(connection_) == CONNECTION_OK; }

void Connection::ensure(Kind unreachable) {
  if (!connected()) connect(unreachable);
}

void Connection::connect(Kind unreachable) {
  if (connection_) PQfinish(connection_);
  // Our defaults come before the location, which overrides them, and so do libpq's
  // variables for them; the encoding comes after, as every text here is UTF-8.
  std::vector<const char*> keywords;
  std::vector<const char*> values;
  if (!std::getenv("PGCONNECT_TIMEOUT")) {
    keywords.push_back("connect_timeout");
    values.push_back("10");
  }
  if (!std::getenv("PGAPPNAME")) {
    keywords.push_back("application_name");
    values.push_back("clicker");
  }
  keywords.insert(keywords.end(), {"dbname", "client_encoding", nullptr});
  values.insert(values.end(), {location_.uri.c_str(), "UTF8", nullptr});
  connection_ = PQconnectdbParams(keywords.data(), values.data(), 1);
  if (PQstatus(connection_) != CONNECTION_OK) {
    // libpq's complaints about a URI it cannot read quote it whole, password and all.
    std::string reason = one_line(PQerrorMessage(connection_));
    for (std::size_t at = reason.find(location_.uri); !location_.uri.empty() && at != std::string::npos;
         at = reason.find(location_.uri, at)) {
      reason.replace(at, location_.uri.size(), location_.shown);
      at += location_.shown.size();
    }
    PQfinish(connection_);
    connection_ = nullptr;
    throw StoreError(unreachable, "store " + location_.shown + ": cannot connect: " + reason);
  }
  ++generation_;
  // The server's notices (a warning as it shuts down) are no messages of the station's.
  PQsetNoticeProcessor(connection_, [](void*, const char*) {}, nullptr);
  // Each statement names its tables plainly and finds them in the store's schema. A lock
  // held by a station that hangs is waited for a while, not for ever, and a transaction
  // it leaves open is ended by the server.
  run("setting up the session",
      "SELECT pg_catalog.set_config('search_path', $1, false), pg_catalog.set_config('bytea_output', 'hex', false), "
      "pg_catalog.set_config('lock_timeout', '30s', false), "
      "pg_catalog.set_config('idle_in_transaction_session_timeout', '60s', false)",
      {quoted_identifier(location_.schema)});
}

Result Connection::run(std::string_view doing, const std::string& sql, const std::vector<Parameter>& parameters) {
  ensure();
  std::vector<const char*> values;
  for (const Parameter& parameter : parameters) values.push_back(parameter ? parameter->c_str() : nullptr);
  Result result(PQexecParams(connection_, sql.c_str(), static_cast<int>(values.size()), nullptr, values.data(),
                             nullptr, nullptr, 0));
  const ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) fail(doing, result.get());
  return result;
}

void Connection::copy_in(std::string_view doing, const std::string& sql, std::string_view rows) {
  ensure();
  Result started(PQexec(connection_, sql.c_str()));
  if (!started || PQresultStatus(started.get()) != PGRES_COPY_IN) fail(doing, started.get());
  const bool sent = PQputCopyData(connection_, rows.data(), static_cast<int>(rows.size())) == 1 &&
                    PQputCopyEnd(connection_, nullptr) == 1;
  Result ended(PQgetResult(connection_));
  for (Result more(PQgetResult(connection_)); more; more.reset(PQgetResult(connection_))) {
  }
  if (!sent || !ended || PQresultStatus(ended.get()) != PGRES_COMMAND_OK) fail(doing, ended.get());
}

void Connection::roll_back_quietly() noexcept {
  if (!connected()) return;
  PQclear(PQexec(connection_, "ROLLBACK"));
}

void Connection::fail(std::string_view doing, const PGresult* result) {
  const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
  // An error of libpq's own, without a SQLSTATE, is the connection failing, which libpq
  // does not always mark as bad at once: it is dropped, to be made anew at the next call.
  const bool lost = !state || PQstatus(connection_) != CONNECTION_OK;
  const Kind kind = lost ? Kind::lost : kind_of(state);
  const char* said = result ? PQresultErrorMessage(result) : "";
  const std::string reason = one_line(*said ? said : PQerrorMessage(connection_));
  std::string message = "store " + location_.shown + ": " + std::string(doing) + ": " + reason;
  if (lost) {
    message = "store " + location_.shown + ": " + std::string(doing) + ": lost the connection: " + reason;
    PQfinish(connection_);
    connection_ = nullptr;
  }
  throw StoreError(kind, message);
}

}  // namespace vkd::store::postgresql
