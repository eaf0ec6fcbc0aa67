// The Windows builds have no libpq: a PostgreSQL location says so.
#include "store/postgresql_location.h"
#include "store/postgresql_store.h"

namespace vkd::store {

namespace {

[[noreturn]] void refuse(const std::string& location) {
  throw StoreError(StoreError::Kind::unusable,
                   "store " + redacted_location(location) + ": this program was built without PostgreSQL");
}

}  // namespace

std::unique_ptr<Store> open_postgresql_store(const std::string& location) { refuse(location); }

std::string prepare_postgresql_store(const std::string& location) { refuse(location); }

}  // namespace vkd::store
