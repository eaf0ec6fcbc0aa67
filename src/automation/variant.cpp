#include "automation/variant.h"

#include <algorithm>
#include <charconv>
#include <string>
#include <type_traits>

#include "automation/error.h"
#include "automation/mask.h"
#include "automation/number_reading.h"

namespace vkd {

namespace {

// At most 15 significant digits, in the exponent form the platform writes: 1E+20,
// 1.5E-07.
Text double_text(double number) {
  if (number == 0.0) return u"0";  // negative zero included
  char buffer[32];
  const auto result = std::to_chars(std::begin(buffer), std::end(buffer), number, std::chars_format::general, 15);
  std::replace(std::begin(buffer), result.ptr, 'e', 'E');
  return Text(std::begin(buffer), result.ptr);
}

// The number a variant converts to before it is rounded into an integer type.
double numeric_value(const Variant& variant) {
  return std::visit(
      [](const auto& value) -> double {
        using Kind = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Kind, EmptyValue>) {
          return 0.0;
        } else if constexpr (std::is_same_v<Kind, bool>) {
          return value ? -1.0 : 0.0;
        } else if constexpr (std::is_same_v<Kind, Date>) {
          return value.value;
        } else if constexpr (std::is_same_v<Kind, Text>) {
          return strict_number(value);
        } else if constexpr (std::is_arithmetic_v<Kind>) {
          return static_cast<double>(value);
        } else {
          throw Error::type_mismatch();
        }
      },
      variant.value());
}

}  // namespace

Text to_text(const Variant& variant) {
  return std::visit(
      [](const auto& value) -> Text {
        using Kind = std::decay_t<decltype(value)>;
        if constexpr (std::is_same_v<Kind, EmptyValue>) {
          return Text();
        } else if constexpr (std::is_same_v<Kind, bool>) {
          return value ? u"True" : u"False";
        } else if constexpr (std::is_same_v<Kind, Date>) {
          return date_text(value);
        } else if constexpr (std::is_same_v<Kind, Text>) {
          return value;
        } else if constexpr (std::is_same_v<Kind, double>) {
          return double_text(value);
        } else if constexpr (std::is_integral_v<Kind>) {
          return decimal(value);
        } else {
          throw Error::type_mismatch();
        }
      },
      variant.value());
}

std::int16_t to_int16(const Variant& variant) { return to_int16(numeric_value(variant)); }
std::int32_t to_int32(const Variant& variant) { return to_int32(numeric_value(variant)); }

}  // namespace vkd
