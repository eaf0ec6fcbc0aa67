#pragma once
// Device files: a simulated scanner described in JSON, and the same file brought up to
// date with what the scanner changed. The format is described in device_file.cpp and in
// the README of this folder.
#include <cstddef>
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "sim/device.h"

namespace vkd::sim {

// The largest file taken for a device file. A scanner holds at most 65,535 barcodes, and
// even with every text at its 250 bytes given in hex, as the library writes the file back
// (indented), that stays far below this; a larger file is something else named by mistake.
inline constexpr std::size_t max_device_file_size = std::size_t{64} << 20;

struct LoadedDevice {
  Device device;
  nlohmann::json document;  // as read, kept so that rewriting it loses nothing
};

// The device a file's text describes, or a message that says what is wrong with it.
std::variant<LoadedDevice, std::string> parse_device_file(std::string_view text);

// The document with the device's changeable state written into it: the clock, the
// parameters that differ from the factory settings, and the barcodes once erased.
nlohmann::json updated_document(const nlohmann::json& document, const Device& device);

}  // namespace vkd::sim
