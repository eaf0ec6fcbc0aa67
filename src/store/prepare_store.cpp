#include "store/postgresql_location.h"
#include "store/postgresql_store.h"
#include "store/store.h"

namespace vkd::store {

std::string prepare_store(const std::string& location) {
  if (is_postgresql_location(location)) return prepare_postgresql_store(location);
  // A SQLite file is made and brought up to date by any opening.
  open_store(location);
  return "store " + location + " is ready: a SQLite file is created and brought to this program's version whenever "
         "it is opened";
}

}  // namespace vkd::store
