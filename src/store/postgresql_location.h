#pragma once
// A PostgreSQL store's location, a libpq connection URI: postgresql://... or postgres://...
// with libpq's own parameters, and one of ours, schema=NAME (the schema that holds the
// store's tables; vkdclicker when not given), which libpq would refuse and so never sees.
// Whatever the URI leaves out libpq takes from its PG* environment variables, and a
// password it lacks from PGPASSWORD or ~/.pgpass.
#include <string>

namespace vkd::store {

inline constexpr char default_postgresql_schema[] = "vkdclicker";

bool is_postgresql_location(const std::string& location);

struct PostgresqlLocation {
  std::string uri;     // for libpq: the location without our parameter
  std::string schema;  // its name, unquoted
  std::string shown;   // for messages and logs: the password replaced by ***
};

// StoreError(unusable) for a schema parameter without a name.
PostgresqlLocation postgresql_location(const std::string& location);

// The location as messages and logs may show it: a URL's password, in its user part or
// among its parameters, replaced by "***".
std::string redacted_location(const std::string& location);

}  // namespace vkd::store
