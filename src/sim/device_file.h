#pragma once
// Device files: a simulated scanner described in JSON, and the same file brought up to
// date with what the scanner changed. The format is described in device_file.cpp and in
// the README of this folder.
#include <string>
#include <string_view>
#include <variant>

#include <nlohmann/json.hpp>

#include "sim/device.h"

namespace vkd::sim {

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
