#include "sim/record.h"

#include <algorithm>

namespace vkd::sim {

std::size_t record_size(const Barcode& barcode) {
  return 1 + 1 + barcode.text.size() + barcode.stamp.size();
}

std::size_t encode_record(const Barcode& barcode, std::span<std::uint8_t> out) {
  const std::size_t size = record_size(barcode);
  out[0] = static_cast<std::uint8_t>(size - 1);
  out[1] = barcode.type;
  // The text's characters are its raw bytes.
  const auto* text = reinterpret_cast<const std::uint8_t*>(barcode.text.data());
  const auto text_end = std::copy_n(text, barcode.text.size(), out.begin() + 2);
  std::copy(barcode.stamp.begin(), barcode.stamp.end(), text_end);
  return size;
}

std::vector<std::uint8_t> record_bytes(const Barcode& barcode) {
  std::vector<std::uint8_t> bytes(record_size(barcode));
  encode_record(barcode, bytes);
  return bytes;
}

}  // namespace vkd::sim
