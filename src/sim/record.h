#pragma once
// A stored barcode as the library hands it out: its length byte L (the bytes that
// follow), the code type, the text and the 4 stamp bytes; L + 1 bytes in all. The one
// place where a record's bytes are laid out.
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "sim/device.h"

namespace vkd::sim {

std::size_t record_size(const Barcode& barcode);

// Writes the record into `out`, which holds at least record_size(barcode) bytes, and
// gives its size.
std::size_t encode_record(const Barcode& barcode, std::span<std::uint8_t> out);

std::vector<std::uint8_t> record_bytes(const Barcode& barcode);

}  // namespace vkd::sim
