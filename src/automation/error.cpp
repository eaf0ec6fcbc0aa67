#include "automation/error.h"

#include <utility>

namespace vkd {

Error::Error(ErrorNumber number, Text description)
    : number_(number), description_(std::move(description)), what_(to_utf8(description_)) {}

Error Error::invalid_procedure_call() {
  return Error(ErrorNumber::invalid_procedure_call, u"Invalid procedure call or argument");
}

Error Error::overflow() { return Error(ErrorNumber::overflow, u"Overflow"); }

Error Error::subscript_out_of_range() {
  return Error(ErrorNumber::subscript_out_of_range, u"Subscript out of range");
}

Error Error::type_mismatch() { return Error(ErrorNumber::type_mismatch, u"Type mismatch"); }

Error Error::library_not_found() {
  return Error(ErrorNumber::file_not_found, u"File not found: csp2a.DLL");
}

Error Error::entry_point_not_found(std::string_view name) {
  return Error(ErrorNumber::entry_point_not_found,
               u"Can't find DLL entry point " + from_utf8(name) + u" in csp2a.DLL");
}

std::int32_t Error::hresult() const noexcept {
  return static_cast<std::int32_t>(0x800A0000u | static_cast<std::uint32_t>(number()));
}

}  // namespace vkd
