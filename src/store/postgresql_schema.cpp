#include "store/postgresql_schema.h"

#include <array>
#include <vector>

namespace vkd::store::postgresql {

namespace {

using Kind = StoreError::Kind;

// The statements that bring the tables from the version before to each version, from 1 on.
// The columns and their meanings are the SQLite store's. Times are ISO 8601 local texts,
// as the stations give them (they compare in order as texts); a state is the text
// state_name() gives; a record's barcode is its bytes as the scanner gave them, its text
// those bytes read one character each.
const std::vector<std::vector<std::string>> migrations = {
    // Version 1.
    {
        "CREATE TABLE schema_version (application text PRIMARY KEY, version integer NOT NULL)",
        "CREATE TABLE scanners (identifier text PRIMARY KEY, first_seen text NOT NULL, last_seen text NOT NULL)",
        "CREATE TABLE batches ("
        " number bigint GENERATED ALWAYS AS IDENTITY PRIMARY KEY,"
        " scanner text NOT NULL REFERENCES scanners (identifier),"
        " station text NOT NULL,"
        " downloaded_at text NOT NULL,"
        " count integer NOT NULL CHECK (count >= 0),"
        " reported integer NOT NULL,"
        " state text NOT NULL CHECK (state IN ('stored', 'emptied', 'not emptied', 'changed')),"
        " possible_repeat boolean NOT NULL,"
        " incomplete boolean NOT NULL,"
        " pending boolean NOT NULL,"
        " outbox_wanted boolean NOT NULL,"
        " outbox_file text)",
        "CREATE INDEX batches_of_scanner ON batches (scanner, pending, number)",
        "CREATE INDEX batches_awaiting_outbox ON batches (station, number) WHERE outbox_wanted AND outbox_file IS NULL",
        "CREATE TABLE records ("
        " batch bigint NOT NULL REFERENCES batches (number),"
        " position integer NOT NULL CHECK (position >= 1),"
        " barcode bytea NOT NULL,"
        " text text NOT NULL,"
        " code_type smallint NOT NULL CHECK (code_type BETWEEN 0 AND 255),"
        " time text,"
        " stamp bytea NOT NULL CHECK (length(stamp) = 4),"
        " PRIMARY KEY (batch, position))",
    },
};

constexpr char application[] = "vkdclicker";

constexpr char rights_advice[] =
    " (the role needs a schema it owns, or the rights its owner gave the stations' role: see the README)";

const int program_version = static_cast<int>(migrations.size());

struct Found {
  bool schema = false;
  bool usable = false;  // the role may look into it
  bool version_table = false;
  bool other_tables = false;
};

Found look(Connection& connection, const std::string& schema) {
  const Result found = connection.run(
      "looking for the store's schema",
      "SELECT EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid AND c.relname = "
      "'schema_version'), EXISTS (SELECT 1 FROM pg_catalog.pg_class c WHERE c.relnamespace = n.oid), "
      "pg_catalog.has_schema_privilege(n.oid, 'USAGE') "
      "FROM pg_catalog.pg_namespace n WHERE n.nspname = $1",
      {schema});
  if (PQntuples(found.get()) == 0) return {};
  return {.schema = true,
          .usable = boolean_field(found.get(), 0, 2),
          .version_table = boolean_field(found.get(), 0, 0),
          .other_tables = boolean_field(found.get(), 0, 1)};
}

[[noreturn]] void refuse(const Connection& connection, const std::string& reason) {
  throw StoreError(Kind::unusable, "store " + connection.location().shown + ": " + reason);
}

std::optional<int> version_in(Connection& connection, const std::string& shown_schema) {
  const Result version = connection.run("reading the store's version",
                                        "SELECT version FROM schema_version WHERE application = $1", {application});
  if (PQntuples(version.get()) == 0) {
    refuse(connection, "the schema " + shown_schema + " holds another application's version table");
  }
  return static_cast<int>(number_field(version.get(), 0, 0));
}

SchemaPreparation prepared(Connection& connection) {
  const std::string& schema = connection.location().schema;
  const std::string shown = quoted_identifier(schema);
  connection.run("waiting for others preparing the schema",
                 "SELECT pg_catalog.pg_advisory_xact_lock(pg_catalog.hashtext($1), pg_catalog.hashtext($2))",
                 {application, schema});
  SchemaPreparation preparation;
  const Found found = look(connection, schema);
  if (!found.schema) {
    connection.run("creating the schema", "CREATE SCHEMA " + quoted_identifier(schema));
    preparation.schema_created = true;
  } else if (!found.usable) {
    refuse(connection, "permission denied for schema " + shown + rights_advice);
  } else if (found.version_table) {
    preparation.found = version_in(connection, shown);
  } else if (found.other_tables) {
    refuse(connection, "the schema " + shown + " holds tables that are not a store of ours; name another with schema=NAME");
  }
  const int from = preparation.found.value_or(0);
  if (from > program_version) {
    refuse(connection, "the store in schema " + shown + " is at version " + std::to_string(from) +
                           ", newer than this program's " + std::to_string(program_version) + ": update the program");
  }
  for (int version = from + 1; version <= program_version; ++version) {
    for (const std::string& statement : migrations[static_cast<std::size_t>(version - 1)]) {
      connection.run("bringing the store to version " + std::to_string(version), statement);
    }
  }
  if (from < program_version) {
    connection.run("setting the store's version",
                   "INSERT INTO schema_version (application, version) VALUES ($1, $2) "
                   "ON CONFLICT (application) DO UPDATE SET version = excluded.version",
                   {application, std::to_string(program_version)});
  }
  preparation.now = program_version;
  return preparation;
}

}  // namespace

SchemaPreparation prepare_schema(Connection& connection) {
  const std::uint64_t generation = connection.generation();
  try {
    connection.run("beginning the schema's preparation", "BEGIN");
    const SchemaPreparation preparation = prepared(connection);
    connection.run("committing the schema's preparation", "COMMIT");
    return preparation;
  } catch (const StoreError& error) {
    if (connection.generation() == generation) connection.roll_back_quietly();
    if (error.kind() == Kind::unusable) throw;
    std::string message = error.what();
    if (error.kind() == Kind::read_only) {
      message += rights_advice;
    }
    throw StoreError(Kind::unusable, message);
  }
}

std::string preparation_text(const SchemaPreparation& preparation, const std::string& schema) {
  const std::string shown = quoted_identifier(schema);
  const std::string version = "version " + std::to_string(preparation.now);
  if (preparation.schema_created) return "created schema " + shown + " and its tables at " + version;
  if (!preparation.found) return "created the tables in schema " + shown + " at " + version;
  if (*preparation.found < preparation.now) {
    return "migrated schema " + shown + " from version " + std::to_string(*preparation.found) + " to " + version;
  }
  return "schema " + shown + " is at " + version + " already";
}

}  // namespace vkd::store::postgresql
