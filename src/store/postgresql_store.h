#pragma once
// The store on a PostgreSQL server, for many stations writing one database: the tables
// in a schema of their own (postgresql_location.h says how a location names it), one
// connection per store, made again at the first call after it was lost. Every docking is
// one transaction that holds its scanner's row locked, so that two stations docking one
// scanner take turns, the second seeing what the first stored.
#include <memory>
#include <string>

#include "store/store.h"

namespace vkd::store {

// Opens the store at a postgresql:// or postgres:// location, creating its schema and
// tables when the role may, and migrating them when they are older than this program.
// StoreError(unusable) when the server cannot be reached, the schema is not ours or is
// newer than this program, or the role may not use it; on a build without PostgreSQL
// (Windows) always.
std::unique_ptr<Store> open_postgresql_store(const std::string& location);

// What opening the store did to its schema, in a line: "created schema "vkdclicker" and its
// tables at version 1", "schema "vkdclicker" is at version 1 already"; errors as
// open_postgresql_store.
std::string prepare_postgresql_store(const std::string& location);

}  // namespace vkd::store
