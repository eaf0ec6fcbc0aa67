// The location of a store: which engine, and where.
#include <memory>
#include <regex>
#include <string>

#include "store/postgresql_location.h"
#include "store/postgresql_store.h"
#include "store/sqlite_store.h"
#include "store/store.h"

namespace vkd::store {

namespace {

[[noreturn]] void refuse(const std::string& location, const std::string& why) {
  throw StoreError(StoreError::Kind::unusable, "store " + redacted_location(location) + ": " + why);
}

}  // namespace

std::unique_ptr<Store> open_store(const std::string& location) {
  if (is_postgresql_location(location)) return open_postgresql_store(location);
  const std::string file = location.starts_with("sqlite:") ? location.substr(7) : location;
  // A URL of another kind is a mistyped location far more often than a file's name.
  static const std::regex url("^[A-Za-z][A-Za-z0-9+.-]*://.*");
  if (std::regex_match(file, url)) {
    refuse(location, "not a kind of store this program knows (sqlite:FILE, or postgresql://...)");
  }
  if (file.empty()) refuse(location, "names no file");
  return std::make_unique<sqlite::SqliteStore>(file);
}

}  // namespace vkd::store
