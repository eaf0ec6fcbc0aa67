#pragma once
// What a SQLite result code means to the station: the kind of StoreError it becomes.
#include <sqlite3.h>

#include <string>
#include <string_view>

#include "store/store.h"

namespace vkd::store::sqlite {

// `system_error` is the operating system's error number behind an I/O error
// (sqlite3_system_errno), 0 when there is none.
StoreError::Kind error_kind(int code, int system_error);

// The error of `db`'s last failed call, which returned `code`, while `doing` to `file`:
// "store FILE: DOING: SQLITE'S MESSAGE".
StoreError error_of(sqlite3* db, int code, const std::string& file, std::string_view doing);

}  // namespace vkd::store::sqlite
