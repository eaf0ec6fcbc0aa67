#include "automation/text.h"

#include <array>

#include "automation/error.h"

namespace vkd {

namespace {

// Windows-1252 between 0x80 and 0x9F; the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) keep their own value, as the system's conversion does.
constexpr std::array<char16_t, 32> windows_1252_high_controls = {
    u'\u20AC', u'\u0081', u'\u201A', u'\u0192', u'\u201E', u'\u2026', u'\u2020', u'\u2021',
    u'\u02C6', u'\u2030', u'\u0160', u'\u2039', u'\u0152', u'\u008D', u'\u017D', u'\u008F',
    u'\u0090', u'\u2018', u'\u2019', u'\u201C', u'\u201D', u'\u2022', u'\u2013', u'\u2014',
    u'\u02DC', u'\u2122', u'\u0161', u'\u203A', u'\u0153', u'\u009D', u'\u017E', u'\u0178'};

constexpr char32_t replacement_character = 0xFFFD;

bool is_high_surrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low_surrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

void append_utf8(std::string& out, char32_t code_point) {
  const auto byte = [&out](char32_t value) { out.push_back(static_cast<char>(value)); };
  if (code_point < 0x80) {
    byte(code_point);
  } else if (code_point < 0x800) {
    byte(0xC0 | (code_point >> 6));
    byte(0x80 | (code_point & 0x3F));
  } else if (code_point < 0x10000) {
    byte(0xE0 | (code_point >> 12));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  } else {
    byte(0xF0 | (code_point >> 18));
    byte(0x80 | ((code_point >> 12) & 0x3F));
    byte(0x80 | ((code_point >> 6) & 0x3F));
    byte(0x80 | (code_point & 0x3F));
  }
}

void append_utf16(Text& out, char32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
    return;
  }
  const char32_t offset = code_point - 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (offset >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (offset & 0x3FF)));
}

// What a lead byte announces: the number of continuation bytes and the range the first
// of them must lie in (which rules out overlong forms, surrogates and values beyond
// U+10FFFF). A count of -1 marks a byte that cannot start a sequence.
struct LeadByte {
  int continuations;
  std::uint8_t first_low, first_high;
  char32_t bits;
};

LeadByte read_lead_byte(std::uint8_t lead) {
  if (lead < 0x80) return {0, 0, 0, lead};
  if (lead >= 0xC2 && lead <= 0xDF) return {1, 0x80, 0xBF, lead & 0x1Fu};
  if (lead == 0xE0) return {2, 0xA0, 0xBF, 0};
  if (lead == 0xED) return {2, 0x80, 0x9F, 0x0D};
  if (lead >= 0xE1 && lead <= 0xEF) return {2, 0x80, 0xBF, lead & 0x0Fu};
  if (lead == 0xF0) return {3, 0x90, 0xBF, 0};
  if (lead >= 0xF1 && lead <= 0xF3) return {3, 0x80, 0xBF, lead & 0x07u};
  if (lead == 0xF4) return {3, 0x80, 0x8F, 4};
  return {-1, 0, 0, 0};
}

}  // namespace

char16_t windows_1252_char(std::uint8_t byte) {
  if (byte >= 0x80 && byte <= 0x9F) return windows_1252_high_controls[byte - 0x80];
  return static_cast<char16_t>(byte);
}

std::string to_utf8(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (is_high_surrogate(unit) && i + 1 < text.size() && is_low_surrogate(text[i + 1])) {
      append_utf8(out, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (is_high_surrogate(unit) || is_low_surrogate(unit)) {
      append_utf8(out, replacement_character);
    } else {
      append_utf8(out, unit);
    }
  }
  return out;
}

// Each maximal ill-formed part becomes one U+FFFD, the substitution Unicode recommends.
Text from_utf8(std::string_view utf8) {
  Text out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    const LeadByte lead = read_lead_byte(static_cast<std::uint8_t>(utf8[i++]));
    if (lead.continuations < 0) {
      append_utf16(out, replacement_character);
      continue;
    }
    char32_t code_point = lead.bits;
    bool complete = true;
    for (int k = 0; k < lead.continuations; ++k) {
      const auto next = i < utf8.size() ? static_cast<std::uint8_t>(utf8[i]) : 0;
      const std::uint8_t low = k == 0 ? lead.first_low : 0x80;
      const std::uint8_t high = k == 0 ? lead.first_high : 0xBF;
      if (i >= utf8.size() || next < low || next > high) {
        complete = false;
        break;
      }
      code_point = (code_point << 6) | (next & 0x3Fu);
      ++i;
    }
    append_utf16(out, complete ? code_point : replacement_character);
  }
  return out;
}

Text mid(const Text& text, long start, long length) {
  if (start < 1 || length < 0) throw Error::invalid_procedure_call();
  const auto offset = static_cast<std::size_t>(start - 1);
  if (offset >= text.size()) return Text();
  return text.substr(offset, static_cast<std::size_t>(length));
}

Text left(const Text& text, long length) {
  if (length < 0) throw Error::invalid_procedure_call();
  return text.substr(0, static_cast<std::size_t>(length));
}

}  // namespace vkd
