#pragma once
// A fuzz input read front to back as a script of values. Once it runs out every read
// gives zero or nothing, so every prefix of an input is itself a complete script and a
// mutation anywhere changes only what comes after it.
#include <cstddef>
#include <cstdint>
#include <span>

#include "automation/text.h"
#include "automation/variant.h"

namespace vkd::testing {

class FuzzInput {
 public:
  explicit FuzzInput(std::span<const std::uint8_t> bytes) : rest_(bytes) {}

  bool exhausted() const { return rest_.empty(); }

  std::uint8_t byte();
  // A signed byte; the byte 0x80 instead announces a 32-bit little-endian value, so small
  // results cost one byte and every 32-bit result stays reachable.
  std::int32_t result();
  // A length byte, then that many bytes (fewer when the input ends first).
  std::span<const std::uint8_t> chunk();
  // A chunk, one character per byte as the scanner library's texts are read.
  Text text();
  // A selector byte, then the value of the chosen subtype: Empty, Null, 16-bit, 32-bit,
  // double, date, Boolean, text (as text()), object.
  Variant variant();

 private:
  std::span<const std::uint8_t> take(std::size_t count);
  template <typename Integer>
  Integer little_endian();
  double raw_double();

  std::span<const std::uint8_t> rest_;
};

}  // namespace vkd::testing
