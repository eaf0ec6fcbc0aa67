#include "store/schema.h"

#include <array>
#include <cstdio>
#include <string>

#include "store/sqlite_statement.h"

namespace vkd::store::sqlite {

namespace {

// Times are ISO 8601 local texts; flags are 0 or 1; a record's barcode is its bytes as
// the scanner gave them, its text those bytes read one character each.
constexpr std::string_view version_1 = R"sql(
CREATE TABLE scanners (
  identifier TEXT PRIMARY KEY NOT NULL,
  first_seen TEXT NOT NULL,
  last_seen TEXT NOT NULL
) STRICT;
CREATE TABLE batches (
  number INTEGER PRIMARY KEY AUTOINCREMENT,
  scanner TEXT NOT NULL REFERENCES scanners (identifier),
  station TEXT NOT NULL,
  downloaded_at TEXT NOT NULL,
  count INTEGER NOT NULL CHECK (count >= 0),
  reported INTEGER NOT NULL,
  state TEXT NOT NULL CHECK (state IN ('stored', 'emptied', 'not emptied', 'changed')),
  possible_repeat INTEGER NOT NULL CHECK (possible_repeat IN (0, 1)),
  incomplete INTEGER NOT NULL CHECK (incomplete IN (0, 1)),
  pending INTEGER NOT NULL CHECK (pending IN (0, 1)),
  outbox_wanted INTEGER NOT NULL CHECK (outbox_wanted IN (0, 1)),
  outbox_file TEXT
) STRICT;
CREATE INDEX batches_of_scanner ON batches (scanner, pending, number);
CREATE INDEX batches_awaiting_outbox ON batches (station, number)
  WHERE outbox_wanted = 1 AND outbox_file IS NULL;
CREATE TABLE records (
  batch INTEGER NOT NULL REFERENCES batches (number),
  position INTEGER NOT NULL CHECK (position >= 1),
  barcode BLOB NOT NULL,
  text TEXT NOT NULL,
  code_type INTEGER NOT NULL CHECK (code_type BETWEEN 0 AND 255),
  time TEXT,
  stamp BLOB NOT NULL CHECK (length(stamp) = 4),
  PRIMARY KEY (batch, position)
) STRICT, WITHOUT ROWID;
)sql";

constexpr std::array<std::string_view, 1> steps{version_1};

struct FileSchema {
  std::int64_t application = 0;
  std::int64_t version = 0;
  std::int64_t objects = 0;  // tables, indexes, views, triggers
};

FileSchema read_schema(Connection& connection) {
  Statement read(connection,
                 "SELECT (SELECT application_id FROM pragma_application_id()),"
                 " (SELECT user_version FROM pragma_user_version()), (SELECT count(*) FROM sqlite_schema)",
                 "cannot read it as a SQLite database");
  read.step();
  return {read.integer(0), read.integer(1), read.integer(2)};
}

std::string hexadecimal(std::int64_t number) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(number));
  return text;
}

// True when the file lacks some of the steps.
bool check(const FileSchema& schema, const Connection& connection, SchemaSteps known) {
  const auto unusable = [&connection](const std::string& what) {
    return StoreError(StoreError::Kind::unusable, "store " + connection.file() + ": " + what);
  };
  if (schema.application == 0 && schema.version == 0 && schema.objects == 0) return true;
  if (schema.application == 0) throw unusable("is another program's SQLite database, not a store");
  if (schema.application != application_id) {
    throw unusable("is another program's SQLite database (application id " + hexadecimal(schema.application) +
                   "), not a store");
  }
  const auto newest = static_cast<std::int64_t>(known.size());
  if (schema.version > newest) {
    throw unusable("is of version " + std::to_string(schema.version) + " of the store, newer than this program's " +
                   std::to_string(newest) + ": it needs a newer program");
  }
  if (schema.version < 1) throw unusable("is damaged: a store without a version");
  return schema.version < newest;
}

}  // namespace

SchemaSteps schema_steps() { return steps; }

bool needs_steps(Connection& connection, SchemaSteps known) { return check(read_schema(connection), connection, known); }

void make_steps(Connection& connection, SchemaSteps known) {
  WriteTransaction transaction(connection);
  const FileSchema schema = read_schema(connection);
  if (!check(schema, connection, known)) return;
  for (auto version = static_cast<std::size_t>(schema.version); version < known.size(); ++version) {
    connection.execute(std::string(known[version]), "cannot make version " + std::to_string(version + 1) + " of it");
  }
  connection.execute("PRAGMA application_id = " + std::to_string(application_id) +
                         "; PRAGMA user_version = " + std::to_string(known.size()),
                     "cannot mark its version");
  transaction.commit();
}

}  // namespace vkd::store::sqlite
