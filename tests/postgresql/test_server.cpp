#include "test_server.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <memory>
#include <stdexcept>

namespace vkd::testing {

namespace {

struct ConnectionCloser {
  void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct ResultClearer {
  void operator()(PGresult* result) const { PQclear(result); }
};

PGconn* admin_connection() {
  PGconn* connection = PQconnectdb("dbname=scans user=vkd_admin");
  if (PQstatus(connection) != CONNECTION_OK) {
    const std::string message = PQerrorMessage(connection);
    PQfinish(connection);
    throw std::runtime_error("the test server: " + message);
  }
  PQsetNoticeProcessor(connection, [](void*, const char*) {}, nullptr);  // DROP ... IF EXISTS says a lot
  return connection;
}

void run_script(const std::string& command, const std::string& folder) {
  const std::string line = std::string(TEST_SERVER_SCRIPT) + " " + command + " '" + folder + "'";
  if (std::system(line.c_str()) != 0) throw std::runtime_error("failed: " + line);
}

}  // namespace

std::optional<TestServer> TestServer::find() {
  const char* folder = std::getenv("VKD_TEST_POSTGRESQL");
  if (!folder || !*folder) return std::nullopt;
  ::setenv("PGHOST", folder, 1);
  ::setenv("PGPASSFILE", (std::string(folder) + "/pgpass").c_str(), 1);
  if (PQping("dbname=scans user=vkd_admin") != PQPING_OK) return std::nullopt;
  return TestServer(folder);
}

std::string TestServer::location(const std::string& schema, const std::string& role) const {
  return "postgresql:///scans?user=" + role + "&schema=" + schema;
}

void TestServer::give_schema(const std::string& schema) const {
  admin("DROP SCHEMA IF EXISTS " + schema + " CASCADE; CREATE SCHEMA " + schema + " AUTHORIZATION clicker");
}

std::string TestServer::admin(const std::string& sql) const {
  const std::unique_ptr<PGconn, ConnectionCloser> connection(admin_connection());
  // A script without parameters runs as one transaction.
  const std::unique_ptr<PGresult, ResultClearer> result(PQexec(connection.get(), sql.c_str()));
  const ExecStatusType status = PQresultStatus(result.get());
  if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
    throw std::runtime_error(sql + ": " + PQresultErrorMessage(result.get()));
  }
  if (status != PGRES_TUPLES_OK || PQntuples(result.get()) == 0) return {};
  return PQgetvalue(result.get(), 0, 0);
}

TestServer::Held TestServer::hold(const std::string& sql) const {
  PGconn* connection = admin_connection();
  const std::unique_ptr<PGresult, ResultClearer> result(PQexec(connection, ("BEGIN; " + sql).c_str()));
  if (PQresultStatus(result.get()) != PGRES_COMMAND_OK) {
    const std::string message = PQresultErrorMessage(result.get());
    PQfinish(connection);
    throw std::runtime_error(sql + ": " + message);
  }
  return Held(connection);
}

TestServer::Held::~Held() {
  if (connection_) PQfinish(static_cast<PGconn*>(connection_));
}

void TestServer::crash() const { run_script("crash", folder_); }

void TestServer::resume() const { run_script("resume", folder_); }

}  // namespace vkd::testing
