#include "automation/text.h"

namespace vkd {

Text text_from_bytes(std::span<const std::uint8_t> bytes) {
  Text text;
  text.reserve(bytes.size());
  for (const std::uint8_t byte : bytes) text.push_back(windows_1252_char(byte));
  return text;
}

}  // namespace vkd
