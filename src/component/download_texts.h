#pragma once
// The object's texts of what a download read. Bytes from the library become one
// character per byte, through the system's single-byte code page, as a classic automation
// component reads a library's buffers: so a barcode's length is its byte count, and no
// byte is merged with its neighbour.
#include <string_view>

#include "automation/text.h"
#include "conversations/download.h"

namespace vkd {

// Writes the bytes into `text` as characters; a text of the same length, as a repeated
// download of like barcodes leaves it, is written over in place.
void assign_text(Text& text, std::string_view bytes);

// serial: the first 8 identifier bytes as upper-case hex digits.
Text serial_text(const Identifier& identifier);

// SwVersion: all 8 characters, NULs after a shorter version included.
Text version_text(const VersionBytes& version);

}  // namespace vkd
