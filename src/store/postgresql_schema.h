#pragma once
// The PostgreSQL store's tables, in a schema of their own, and their versions: version 1
// is the first, and each later version is one migration from the one before.
#include <optional>
#include <string>

#include "store/postgresql_connection.h"

namespace vkd::store::postgresql {

struct SchemaPreparation {
  bool schema_created = false;
  std::optional<int> found;  // the version the schema held; none: it held no tables
  int now = 0;               // the version it holds now
};

// Brings the location's schema to this program's version, creating the schema when it
// is missing and the tables in it when it is empty, and migrating it when it is older, in
// one transaction that waits for any other program preparing it. StoreError(unusable)
// when the schema holds tables not ours, is newer than this program, or may not be used
// or changed by the role as it needs.
SchemaPreparation prepare_schema(Connection& connection);

// "created schema vkdclicker and its tables at version 1", "migrated ... from version 1 to
// version 2", "... is at version 2 already".
std::string preparation_text(const SchemaPreparation& preparation, const std::string& schema);

}  // namespace vkd::store::postgresql
