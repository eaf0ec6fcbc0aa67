#include "automation/number_reading.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <system_error>

#include "automation/error.h"

namespace vkd {

namespace {

bool is_blank(char16_t c) { return c == u' ' || c == u'\t'; }
bool is_digit(char16_t c) { return c >= u'0' && c <= u'9'; }
bool is_sign(char16_t c) { return c == u'+' || c == u'-'; }

class NumberScanner {
 public:
  explicit NumberScanner(std::u16string_view text) : text_(text) {}

  // The length of the longest leading run that forms a number (optional sign, digits
  // with at most one decimal point, optional exponent), 0 when none does.
  std::size_t number_length() {
    if (has(is_sign)) ++position_;
    const std::size_t mantissa_digits = digit_run() + (take(u'.') ? digit_run() : 0);
    if (mantissa_digits == 0) return 0;
    const std::size_t mantissa_end = position_;
    if (take(u'e') || take(u'E')) {
      if (has(is_sign)) ++position_;
      if (digit_run() == 0) return mantissa_end;
    }
    return position_;
  }

 private:
  bool has(bool (*kind)(char16_t)) const { return position_ < text_.size() && kind(text_[position_]); }
  bool take(char16_t expected) {
    if (position_ >= text_.size() || text_[position_] != expected) return false;
    ++position_;
    return true;
  }
  std::size_t digit_run() {
    const std::size_t start = position_;
    while (has(is_digit)) ++position_;
    return position_ - start;
  }

  std::u16string_view text_;
  std::size_t position_ = 0;
};

// Whether a number too large or too small for a double is large: its first significant
// digit's decimal position plus its exponent.
bool is_beyond_largest(const std::string& number) {
  const std::size_t point = number.find('.');
  const std::size_t exponent_at = number.find_first_of("eE");
  const std::size_t mantissa_end = exponent_at == std::string::npos ? number.size() : exponent_at;
  const std::size_t integer_end = std::min(point, mantissa_end);
  const std::size_t first_significant = number.find_first_of("123456789");
  if (first_significant == std::string::npos || first_significant >= mantissa_end) return false;
  long long order = static_cast<long long>(integer_end) - static_cast<long long>(first_significant);
  if (first_significant > integer_end) ++order;
  if (exponent_at != std::string::npos) {
    const char* digits = number.c_str() + exponent_at + 1;
    if (*digits == '+') ++digits;
    long long exponent = 0;
    const auto [end, error] = std::from_chars(digits, number.c_str() + number.size(), exponent);
    if (error == std::errc::result_out_of_range) return *digits != '-';
    // No text is long enough for its digit positions to outweigh an exponent this large,
    // and the clamp keeps the sum from overflowing.
    constexpr long long exponent_limit = 1'000'000'000'000LL;
    order += std::clamp(exponent, -exponent_limit, exponent_limit);
  }
  return order > 0;
}

// A run that number_length accepted, as a double; beyond the range of a double it is
// the overflow error (6), below it 0.
double number_value(std::u16string_view run) {
  std::string ascii(run.begin(), run.end());
  const char* first = ascii.c_str();
  if (*first == '+') ++first;
  double value = 0.0;
  const auto [end, error] = std::from_chars(first, ascii.c_str() + ascii.size(), value);
  if (error == std::errc::result_out_of_range) {
    if (is_beyond_largest(ascii)) throw Error::overflow();
    return 0.0;
  }
  if (std::isinf(value)) throw Error::overflow();
  return value;
}

std::u16string_view without_leading_blanks(std::u16string_view text) {
  std::size_t start = 0;
  while (start < text.size() && is_blank(text[start])) ++start;
  return text.substr(start);
}

std::u16string_view without_trailing_blanks(std::u16string_view text) {
  std::size_t end = text.size();
  while (end > 0 && is_blank(text[end - 1])) --end;
  return text.substr(0, end);
}

template <typename Integer>
Integer to_integer(double number) {
  const double rounded = round_half_even(number);
  // Negated so that NaN fails too.
  if (!(rounded >= std::numeric_limits<Integer>::min() && rounded <= std::numeric_limits<Integer>::max())) {
    throw Error::overflow();
  }
  return static_cast<Integer>(rounded);
}

}  // namespace

double lenient_number(const Text& field) {
  const std::u16string_view text = without_leading_blanks(field);
  const std::size_t length = NumberScanner(text).number_length();
  return length == 0 ? 0.0 : number_value(text.substr(0, length));
}

double strict_number(const Text& field) {
  const std::u16string_view text = without_trailing_blanks(without_leading_blanks(field));
  const std::size_t length = NumberScanner(text).number_length();
  if (length == 0 || length != text.size()) throw Error::type_mismatch();
  return number_value(text);
}

double round_half_even(double number) {
  const double below = std::floor(number);
  const double fraction = number - below;
  if (fraction < 0.5) return below;
  if (fraction > 0.5) return below + 1.0;
  return std::fmod(below, 2.0) == 0.0 ? below : below + 1.0;
}

std::int16_t to_int16(double number) { return to_integer<std::int16_t>(number); }
std::int32_t to_int32(double number) { return to_integer<std::int32_t>(number); }

}  // namespace vkd
