#include <windows.h>

#include <array>

#include "automation/text.h"

namespace vkd {

namespace {

using ByteTable = std::array<char16_t, 256>;

// The system's ANSI code page decides what a byte means, as long as every byte stands
// for one character; a double-byte code page would merge neighbouring bytes, so those
// systems read the bytes as Windows-1252 instead.
ByteTable ansi_byte_table() {
  ByteTable table{};
  for (std::size_t byte = 0; byte < table.size(); ++byte) {
    table[byte] = windows_1252_char(static_cast<std::uint8_t>(byte));
  }
  const UINT code_page = GetACP();
  CPINFO info{};
  if (!GetCPInfo(code_page, &info) || info.MaxCharSize != 1) return table;
  for (std::size_t byte = 0; byte < table.size(); ++byte) {
    const char narrow = static_cast<char>(byte);
    wchar_t wide = 0;
    if (MultiByteToWideChar(code_page, 0, &narrow, 1, &wide, 1) == 1) {
      table[byte] = static_cast<char16_t>(wide);
    }
  }
  return table;
}

}  // namespace

Text text_from_bytes(std::span<const std::uint8_t> bytes) {
  static const ByteTable table = ansi_byte_table();
  Text text;
  text.reserve(bytes.size());
  for (const std::uint8_t byte : bytes) text.push_back(table[byte]);
  return text;
}

}  // namespace vkd
