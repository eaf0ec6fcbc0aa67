// Texts from outside through every reading of the platform layer. The first input byte
// chooses the decoding of the rest (UTF-8 as the command line gets it, or one character
// per byte as the scanner library's texts arrive); the readings must agree with each
// other and with the rules they implement.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "automation/date.h"
#include "automation/number_reading.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "fuzz_check.h"

namespace {

using vkd::ErrorNumber;
using vkd::Text;
using vkd::testing::completes;

// An independent check of well-formed UTF-8 (no overlong forms, surrogates or values
// beyond U+10FFFF), so that the converters are not judged by their own rules.
bool valid_utf8(std::string_view bytes) {
  std::size_t i = 0;
  while (i < bytes.size()) {
    const auto lead = static_cast<std::uint8_t>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    // Sequence length, payload bits of the lead byte, smallest value of that length.
    std::size_t length = 0;
    char32_t value = 0;
    char32_t smallest = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2;
      value = lead & 0x1Fu;
      smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3;
      value = lead & 0x0Fu;
      smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4;
      value = lead & 0x07u;
      smallest = 0x10000;
    } else {
      return false;
    }
    if (i + length > bytes.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const auto next = static_cast<std::uint8_t>(bytes[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      value = (value << 6) | (next & 0x3Fu);
    }
    if (value < smallest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

void check_utf8_round_trip(std::string_view bytes) {
  const Text decoded = vkd::from_utf8(bytes);
  const std::string encoded = vkd::to_utf8(decoded);
  VKD_FUZZ_CHECK(valid_utf8(encoded));
  VKD_FUZZ_CHECK(vkd::from_utf8(encoded) == decoded);
  if (valid_utf8(bytes)) VKD_FUZZ_CHECK(encoded == bytes);
}

// Any UTF-16, lone surrogates included (a host may hand those over), gives UTF-8.
void check_utf16_to_utf8(std::span<const std::uint8_t> bytes) {
  Text units;
  for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
    units.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
  }
  VKD_FUZZ_CHECK(valid_utf8(vkd::to_utf8(units)));
}

void check_single_byte_texts(std::span<const std::uint8_t> bytes) {
  const Text text = vkd::text_from_bytes(bytes);
  VKD_FUZZ_CHECK(text.size() == bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    VKD_FUZZ_CHECK(text[i] == vkd::windows_1252_char(bytes[i]));
  }
}

void check_time_of_day(const Text& text) {
  const std::optional<std::int32_t> seconds = vkd::time_of_day_from_text(text);
  if (seconds) VKD_FUZZ_CHECK(*seconds >= 0 && *seconds < 86400);
  VKD_FUZZ_CHECK(vkd::time_of_day_from_text(text + u" ") == seconds);
}

std::optional<int> short_decimal(const Text& part) {
  if (part.empty() || part.size() > 2) return std::nullopt;
  int value = 0;
  for (const char16_t c : part) {
    if (c < u'0' || c > u'9') return std::nullopt;
    value = value * 10 + (c - u'0');
  }
  return value;
}

bool calendar_date(int year, int month, int day) {
  return month >= 1 && month <= 12 && day >= 1 && day <= vkd::days_in_month(year, month);
}

// The parts as a time-stamp text is split at its slashes. Where all three are short
// decimal numbers the rule is plain: either reading must be a calendar date.
void check_date_text(const Text& text) {
  const std::size_t first_slash = text.find(u'/');
  const std::size_t second_slash =
      first_slash == Text::npos ? Text::npos : text.find(u'/', first_slash + 1);
  const Text first = text.substr(0, first_slash);
  const Text middle = first_slash == Text::npos
                          ? Text()
                          : text.substr(first_slash + 1, second_slash - first_slash - 1);
  const Text third = second_slash == Text::npos ? Text() : text.substr(second_slash + 1);
  const bool passes = vkd::date_text_check(first, middle, third);

  const auto month = short_decimal(first);
  const auto day = short_decimal(middle);
  const auto year = short_decimal(third);
  if (month && day && year) {
    const int full_year = vkd::window_two_digit_year(*year);
    VKD_FUZZ_CHECK(passes == (calendar_date(full_year, *month, *day) ||
                              calendar_date(full_year, *day, *month)));
  }
}

template <typename Value>
struct Outcome {
  std::optional<Value> value;
  std::optional<ErrorNumber> error;
  friend bool operator==(const Outcome&, const Outcome&) = default;
};

template <typename Conversion>
auto outcome(Conversion&& conversion) -> Outcome<decltype(conversion())> {
  try {
    return {conversion(), std::nullopt};
  } catch (const vkd::Error& error) {
    return {std::nullopt, error.code()};
  }
}

// A whole-field number reads the same leniently; a variant holding the text converts
// exactly as the strict reading followed by the numeric conversion, errors included.
void check_numbers(const Text& text) {
  double lenient = 0;
  const bool has_lenient =
      completes({ErrorNumber::overflow}, [&] { lenient = vkd::lenient_number(text); });
  if (has_lenient) {
    VKD_FUZZ_CHECK(std::isfinite(lenient));
    const double rounded = vkd::round_half_even(lenient);
    VKD_FUZZ_CHECK(rounded == std::nearbyint(rounded) && std::fabs(rounded - lenient) <= 0.5);
  }

  double strict = 0;
  if (completes({ErrorNumber::type_mismatch, ErrorNumber::overflow},
                [&] { strict = vkd::strict_number(text); })) {
    VKD_FUZZ_CHECK(has_lenient && strict == lenient);
  }

  const vkd::Variant variant(text);
  VKD_FUZZ_CHECK(outcome([&] { return vkd::to_int16(variant); }) ==
                 outcome([&] { return vkd::to_int16(vkd::strict_number(text)); }));
  VKD_FUZZ_CHECK(outcome([&] { return vkd::to_int32(variant); }) ==
                 outcome([&] { return vkd::to_int32(vkd::strict_number(text)); }));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::span<const std::uint8_t> bytes(data + 1, size - 1);
  const std::string_view chars(reinterpret_cast<const char*>(bytes.data()), bytes.size());

  check_utf8_round_trip(chars);
  check_utf16_to_utf8(bytes);
  check_single_byte_texts(bytes);

  const Text text = (data[0] & 1) != 0 ? vkd::from_utf8(chars) : vkd::text_from_bytes(bytes);
  check_time_of_day(text);
  check_date_text(text);
  check_numbers(text);
  return 0;
}
