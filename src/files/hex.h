#pragma once
// Bytes as hexadecimal text: how device files give raw bytes, traces show buffers and
// temporary files are told apart.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vkd::files {

// Two upper-case digits per byte, nothing between them.
std::string to_hex(std::span<const std::uint8_t> bytes);
std::string to_hex(std::string_view bytes);

// Pairs of digits of either case; blanks between pairs are allowed. Nothing for any
// other text (an odd digit count, a character that is not a digit).
std::optional<std::vector<std::uint8_t>> from_hex(std::string_view text);

}  // namespace vkd::files
