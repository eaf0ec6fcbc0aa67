#include "component/download_texts.h"

#include <algorithm>
#include <array>
#include <span>

#include "automation/mask.h"

namespace vkd {

namespace {

constexpr std::size_t serial_bytes = 8;
constexpr std::size_t version_length = 8;

}  // namespace

const ByteTable& byte_table() {
  static const ByteTable table = [] {
    std::array<std::uint8_t, 256> all_bytes{};
    for (std::size_t b = 0; b < all_bytes.size(); ++b) all_bytes[b] = static_cast<std::uint8_t>(b);
    const Text characters = text_from_bytes(all_bytes);
    ByteTable read{};
    std::copy_n(characters.begin(), read.size(), read.begin());
    return read;
  }();
  return table;
}

Text serial_text(const Identifier& identifier) {
  Text serial;
  serial.reserve(2 * serial_bytes);
  for (std::size_t i = 0; i < serial_bytes; ++i) serial += hex_byte(identifier[i]);
  return serial;
}

Text version_text(const VersionBytes& version) {
  return text_from_bytes(std::span(version).first(version_length));
}

}  // namespace vkd
