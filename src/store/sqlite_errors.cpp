#include "store/sqlite_errors.h"

#include <cerrno>
#include <system_error>

namespace vkd::store::sqlite {

StoreError::Kind error_kind(int code, [[maybe_unused]] int system_error) {
  switch (code & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return StoreError::Kind::busy;
    case SQLITE_FULL:
      return StoreError::Kind::full;
    case SQLITE_READONLY:
      return StoreError::Kind::read_only;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
    case SQLITE_CANTOPEN:
      return StoreError::Kind::unusable;
    case SQLITE_IOERR:
#ifndef _WIN32
      // A write past the process's file-size limit fails with EFBIG once SIGXFSZ is
      // ignored, which SQLite reports as an I/O error; Windows has no such limit, and
      // SQLite itself reports its full disks as SQLITE_FULL.
      if (system_error == EFBIG || system_error == ENOSPC) return StoreError::Kind::full;
#endif
      return StoreError::Kind::failed;
    default:
      return StoreError::Kind::failed;
  }
}

StoreError error_of(sqlite3* db, int code, const std::string& file, std::string_view doing) {
  const int system_error = db != nullptr ? sqlite3_system_errno(db) : 0;
  std::string message = "store " + file + ": " + std::string(doing) + ": ";
  message += db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(code);
  // SQLite's own words for these ("disk I/O error", "unable to open database file") leave
  // out the reason the system gave.
  const int primary = code & 0xff;
  if (system_error != 0 && (primary == SQLITE_IOERR || primary == SQLITE_CANTOPEN)) {
#ifdef _WIN32
    message += " (Windows error " + std::to_string(system_error) + ")";
#else
    message += " (" + std::generic_category().message(system_error) + ")";
#endif
  }
  return StoreError(error_kind(code, system_error), message);
}

}  // namespace vkd::store::sqlite
