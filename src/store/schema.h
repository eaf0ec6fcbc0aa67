#pragma once
// The tables of the SQLite store, and the steps that bring a file from one version of
// them to the next. A file's version (PRAGMA user_version) is the number of steps made on
// it; its application id marks it as a store of this program's.
#include <cstdint>
#include <span>
#include <string_view>

#include "store/sqlite_connection.h"

namespace vkd::store::sqlite {

inline constexpr std::int32_t application_id = 0x564B4443;  // "VKDC"

// The first step makes version 1 out of an empty file, each further one version N + 1
// out of version N. A new version adds its step at the end; none is ever changed.
using SchemaSteps = std::span<const std::string_view>;
SchemaSteps schema_steps();

// Reads the file before anything is written to it: StoreError unusable when it is no
// SQLite database, another program's, or of a version newer than `steps` make. True when
// it still lacks some of the steps (a new file lacks all).
bool needs_steps(Connection& connection, SchemaSteps steps);

// Makes the steps the file lacks in one write transaction, checking it again under the
// lock (another program may have made them meanwhile).
void make_steps(Connection& connection, SchemaSteps steps);

}  // namespace vkd::store::sqlite
