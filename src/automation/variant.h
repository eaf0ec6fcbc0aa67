#pragma once
// An automation variant with the subtypes the component meets, and the strict
// conversions it applies to them.
#include <cstdint>
#include <variant>

#include "automation/date.h"
#include "automation/text.h"

namespace vkd {

struct EmptyValue {
  friend bool operator==(EmptyValue, EmptyValue) = default;
};
struct NullValue {
  friend bool operator==(NullValue, NullValue) = default;
};
// An object reference that has no text or number form (an object without a default
// property, an array): every conversion of it is the type-mismatch error.
struct ObjectValue {
  friend bool operator==(ObjectValue, ObjectValue) = default;
};

class Variant {
 public:
  using Value = std::variant<EmptyValue, NullValue, std::int16_t, std::int32_t, double, Date,
                             bool, Text, ObjectValue>;

  Variant() = default;
  Variant(Value value) : value_(std::move(value)) {}  // NOLINT: a variant converts freely
  static Variant null() { return Variant(NullValue{}); }

  bool is_empty() const { return std::holds_alternative<EmptyValue>(value_); }
  bool is_null() const { return std::holds_alternative<NullValue>(value_); }
  const Value& value() const { return value_; }
  // Holds the integer from here on, set in place: no temporary variant is built and taken
  // down (a download sets one for every record).
  void set(std::int16_t number) { value_ = number; }

  friend bool operator==(const Variant&, const Variant&) = default;

 private:
  Value value_;
};

// The platform's CStr: Empty "", integers in decimal, a double with at most 15
// significant digits, Boolean "True"/"False", a date as its date text; Null and an
// object fail with the type mismatch (13).
Text to_text(const Variant& variant);

// The platform's CInt / CLng: Empty 0, True -1, numbers rounded half to even and
// range-checked (overflow 6), texts read strictly (13 when not a number, "" included),
// Null and objects 13.
std::int16_t to_int16(const Variant& variant);
std::int32_t to_int32(const Variant& variant);

// A date's text under the platform's default (US) short formats: "5/17/2007",
// "2:30:15 PM", or both separated by a blank.
Text date_text(Date date);

}  // namespace vkd
