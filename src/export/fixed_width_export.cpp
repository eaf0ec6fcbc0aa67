#include "export/fixed_width_export.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "automation/mask.h"
#include "automation/variant.h"
#include "export/clock_flag_field.h"
#include "state/list_entry.h"

namespace vkd {

namespace {

constexpr int serial_width = 16;         // "!" and 16 "@"
constexpr int clock_flag_width = 1;      // "@"
constexpr int clock_digits = 12;         // "000000000000"
constexpr int count_digits = 4;          // "0000"
constexpr int record_number_digits = 3;  // "000"
constexpr int barcode_width = 13;        // "!" and 13 "@"
constexpr int code_type_digits = 2;      // "00"
constexpr std::size_t record_date_width = yyyymmddhhnnss_length;

// A digit mask's width: the digits it asks for, or the number's own when it has more.
std::size_t zero_filled_length(std::int64_t number, int digits) {
  return std::max(decimal_length(number), static_cast<std::size_t>(digits));
}

std::size_t left_aligned_length(std::u16string_view value, int width) {
  return std::max(value.size(), static_cast<std::size_t>(width));
}

std::size_t clock_length(const Text& clock_text) {
  return clock_text.find_first_not_of(u'\0') == Text::npos ? clock_digits : clock_text.size();
}

// The code type under "00": an entry the download left unfilled is Empty, which reads as 0.
std::int32_t code_type(const ClickerState& state, std::int32_t k) {
  return to_int32(list_entry(state.barcode_types, k));
}

// The text's exact length, so that it is allocated once: fields grow past their widths
// (record numbers from 1000 on, code types from 100 on, long barcodes).
std::size_t text_length(const ClickerState& state) {
  const std::int32_t records = state.num_barcodes;
  std::size_t length = 3 + left_aligned_length(state.serial, serial_width) +
                       left_aligned_length(clock_flag_field(state.clock_flag), clock_flag_width) +
                       clock_length(state.clock_text) + zero_filled_length(records, count_digits);
  for (std::int32_t k = 1; k <= records; ++k) {
    length += zero_filled_length(k, record_number_digits) +
              left_aligned_length(list_entry(state.barcode_texts, k), barcode_width) +
              zero_filled_length(code_type(state, k), code_type_digits) + record_date_width;
  }
  return length;
}

// clock_text under "000000000000". A clock read leaves twelve decimal digits there,
// which the mask gives back unchanged, leading zeros included. A clock that was never
// read leaves the initial NUL characters, which read as the number 0.
void append_clock(Text& text, const Text& clock_text) {
  if (clock_text.find_first_not_of(u'\0') == Text::npos) {
    text.append(clock_digits, u'0');
  } else {
    text += clock_text;
  }
}

}  // namespace

Text fixed_width_export(const ClickerState& state) {
  const std::int32_t records = state.num_barcodes;

  Text text;
  text.reserve(text_length(state));
  text += u"V01";
  append_left_aligned(text, state.serial, serial_width);
  append_left_aligned(text, clock_flag_field(state.clock_flag), clock_flag_width);
  append_clock(text, state.clock_text);
  append_zero_filled(text, records, count_digits);

  for (std::int32_t k = 1; k <= records; ++k) {
    append_zero_filled(text, k, record_number_digits);
    append_left_aligned(text, list_entry(state.barcode_texts, k), barcode_width);
    append_zero_filled(text, code_type(state, k), code_type_digits);
    append_yyyymmddhhnnss(text, list_entry(state.barcode_times, k));
  }
  return text;
}

}  // namespace vkd
