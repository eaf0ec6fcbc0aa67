#include "store/store.h"

namespace vkd::store {

std::string_view state_name(BatchState state) {
  switch (state) {
    case BatchState::stored:
      return "stored";
    case BatchState::emptied:
      return "emptied";
    case BatchState::not_emptied:
      return "not emptied";
    case BatchState::changed:
      return "changed";
  }
  return "stored";
}

}  // namespace vkd::store
