#include "conversations/port_number.h"

#include "automation/error.h"

namespace vkd {

std::int32_t port_number(const Variant& lastport) {
  try {
    return to_int32(lastport);
  } catch (const Error& error) {
    if (error.code() == ErrorNumber::overflow) throw Error::type_mismatch();
    throw;
  }
}

}  // namespace vkd
