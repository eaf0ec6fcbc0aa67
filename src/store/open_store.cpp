// The location of a store: which engine, and where.
#include <memory>
#include <regex>
#include <string>

#include "store/sqlite_store.h"
#include "store/store.h"

namespace vkd::store {

namespace {

// The location as messages may show it: a URL's password, in its user part or among its
// parameters, replaced by "***".
std::string without_password(const std::string& location) {
  std::string shown = location;
  const std::size_t authority = shown.find("://");
  if (authority != std::string::npos) {
    const std::size_t user = authority + 3;
    // The user part ends at the last "@": a password may hold an "@", "/" or "?" that its
    // writer did not encode, and hiding more than the password does no harm.
    const std::size_t at = shown.rfind('@');
    if (at != std::string::npos && at >= user) {
      const std::size_t colon = shown.find(':', user);
      if (colon < at) shown.replace(colon + 1, at - colon - 1, "***");
    }
  }
  static const std::regex parameter("([?&]password=)[^&#]*", std::regex::icase);
  return std::regex_replace(shown, parameter, "$1***");
}

[[noreturn]] void refuse(const std::string& location, const std::string& why) {
  throw StoreError(StoreError::Kind::unusable, "store " + without_password(location) + ": " + why);
}

}  // namespace

std::unique_ptr<Store> open_store(const std::string& location) {
  if (location.starts_with("postgresql://") || location.starts_with("postgres://")) {
    refuse(location, "this program was built without PostgreSQL");
  }
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
