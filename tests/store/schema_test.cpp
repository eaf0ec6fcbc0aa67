// The file's marks and the steps between the versions of its tables: a file of version 1
// is brought to a later version by the steps added for it, all of them or none.
#include <gtest/gtest.h>

#include <array>

#include "store/schema.h"
#include "store/sqlite_statement.h"
#include "store_fixture.h"

namespace vkd::store {
namespace {

using namespace std::chrono_literals;
using SchemaTest = StoreTest;

std::string value_of(const std::string& file, const std::string& query) {
  sqlite::Connection connection(file, 1s);
  sqlite::Statement read(connection, query, "test");
  return read.step() ? read.text(0) : "no row";
}

TEST_F(SchemaTest, ANewFileIsMarkedAsAStoreOfVersionOneWithAWriteAheadLog) {
  open();
  EXPECT_EQ(value_of(file, "PRAGMA application_id"), std::to_string(sqlite::application_id));
  EXPECT_EQ(value_of(file, "PRAGMA user_version"), "1");
  EXPECT_EQ(value_of(file, "PRAGMA journal_mode"), "wal");
}

TEST_F(SchemaTest, AFileOfVersionOneTakesTheStepsAddedAfterIt) {
  dock(*open(), "00000000000000A1", records(1, 2));
  const std::string_view first = sqlite::schema_steps().front();

  const std::array<std::string_view, 2> failing{first, "ALTER TABLE batches ADD COLUMN checked TEXT; SELECT * FROM nothing"};
  try {
    sqlite::SqliteStore(file, {.busy_timeout = 1s, .steps = failing});
    ADD_FAILURE() << "a failed step passed";
  } catch (const StoreError& error) {
    EXPECT_EQ(described(error), "failed");
    EXPECT_NE(std::string(error.what()).find("cannot make version 2 of it"), std::string::npos) << error.what();
  }
  EXPECT_EQ(value_of(file, "PRAGMA user_version"), "1");
  EXPECT_EQ(value_of(file, "SELECT count(*) FROM pragma_table_info('batches') WHERE name = 'checked'"), "0");

  const std::array<std::string_view, 2> second{first, "ALTER TABLE batches ADD COLUMN checked TEXT;"
                                                      " UPDATE batches SET checked = 'at ' || downloaded_at"};
  sqlite::SqliteStore migrated(file, {.busy_timeout = 1s, .steps = second});
  EXPECT_EQ(value_of(file, "PRAGMA user_version"), "2");
  EXPECT_EQ(value_of(file, "SELECT checked FROM batches"), "at 2024-05-15T10:00:00");
  EXPECT_EQ(pending_of(migrated, "00000000000000A1"), records(1, 2));
  // Opened again, it takes no step twice (the column cannot be added again).
  EXPECT_NO_THROW(sqlite::SqliteStore(file, {.busy_timeout = 1s, .steps = second}));
}

}  // namespace
}  // namespace vkd::store
