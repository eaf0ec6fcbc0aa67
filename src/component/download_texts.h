#pragma once
// The object's texts of what a download read. Bytes from the library become one
// character per byte, through the system's single-byte code page, as a classic automation
// component reads a library's buffers: so a barcode's length is its byte count, and no
// byte is merged with its neighbour.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "automation/text.h"
#include "conversations/download.h"

namespace vkd {

// The reading of every byte value, taken once, so that a record's bytes become characters
// by a table look-up.
using ByteTable = std::array<char16_t, 256>;
const ByteTable& byte_table();

// Writes the bytes into `text` as characters; a text of the same length, as a repeated
// download of like barcodes leaves it, is written over in place.
inline void assign_text(Text& text, std::string_view bytes, const ByteTable& table = byte_table()) {
  if (text.size() != bytes.size()) text.resize(bytes.size());
  char16_t* const out = text.data();
  for (std::size_t k = 0; k < bytes.size(); ++k) out[k] = table[static_cast<std::uint8_t>(bytes[k])];
}

// serial: the first 8 identifier bytes as upper-case hex digits.
Text serial_text(const Identifier& identifier);

// SwVersion: all 8 characters, NULs after a shorter version included.
Text version_text(const VersionBytes& version);

}  // namespace vkd
