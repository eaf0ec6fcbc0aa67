#pragma once
// The one exception type of the component: a platform run-time error, carrying the
// error number a host sees (Err.Number) and its description.
#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

#include "automation/text.h"

namespace vkd {

enum class ErrorNumber : std::int32_t {
  invalid_procedure_call = 5,
  overflow = 6,
  subscript_out_of_range = 9,
  type_mismatch = 13,
  file_not_found = 53,
  entry_point_not_found = 453,
};

class Error : public std::exception {
 public:
  Error(ErrorNumber number, Text description);

  static Error invalid_procedure_call();
  static Error overflow();
  static Error subscript_out_of_range();
  static Error type_mismatch();
  static Error library_not_found();                          // names csp2a.DLL
  static Error entry_point_not_found(std::string_view name);  // names the function

  std::int32_t number() const noexcept { return static_cast<std::int32_t>(number_); }
  ErrorNumber code() const noexcept { return number_; }
  const Text& description() const noexcept { return description_; }
  // 0x800A0000 | number: what a COM client receives.
  std::int32_t hresult() const noexcept;
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  ErrorNumber number_;
  Text description_;
  std::string what_;
};

}  // namespace vkd
