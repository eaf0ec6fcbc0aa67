#pragma once
// The content of an automation string: UTF-16 code units, NUL characters allowed,
// length counted in code units.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vkd {

using Text = std::u16string;

// Bytes from the scanner library become one character per byte: through the system's
// single-byte ANSI code page on Windows, through Windows-1252 everywhere else. A host's
// Len of a barcode is then its byte count, and no byte is merged with its neighbour.
Text text_from_bytes(std::span<const std::uint8_t> bytes);

// Windows-1252, the off-Windows reading of a byte (and the Windows fallback).
char16_t windows_1252_char(std::uint8_t byte);

std::string to_utf8(std::u16string_view text);
// Malformed UTF-8 sequences become U+FFFD; nothing is dropped silently.
Text from_utf8(std::string_view utf8);

// The platform's Mid$: 1-based start, cut to what exists; a start below 1 or a
// negative length is the invalid-procedure-call error (5).
Text mid(const Text& text, long start, long length);
Text left(const Text& text, long length);

}  // namespace vkd
