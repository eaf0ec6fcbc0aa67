#pragma once
// What a simulated scanner is: the port it answers on, what it reports about itself,
// the barcodes it holds, its parameters, and the results a test has scripted for it.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "sim/time_stamp.h"

namespace vkd::sim {

struct Barcode {
  std::uint8_t type = 0;
  std::string text;  // raw bytes, at most max_text_size
  TimeStamp stamp{};

  bool operator==(const Barcode&) const = default;
};

// A record's length byte counts the type, the text and the stamp, so a text of more
// bytes than this does not fit a record.
inline constexpr std::size_t max_text_size = 250;

// Replaces the device's own answer to matching calls: the call does nothing else.
struct ScriptedResult {
  std::string call;                    // a function name of the library
  std::optional<int> occurrence;       // the n-th call of that function, counted from 1
  std::optional<std::int32_t> argument;  // the port, record or parameter number passed
  std::int32_t result = 0;
  std::optional<std::vector<std::uint8_t>> bytes;  // copied into the output buffer first

  bool operator==(const ScriptedResult&) const = default;
};

using DeviceId = std::array<std::uint8_t, 8>;
using Version = std::array<std::uint8_t, 10>;
// second, minute, hour, day, month, year within the century
using Clock = std::array<std::uint8_t, 6>;
// Every parameter number 0-255 exists and holds one byte.
using Parameters = std::array<std::uint8_t, 256>;

struct Device {
  std::int32_t port = 0;
  DeviceId id{};
  Version version{};
  Clock clock{};
  bool running_clock = false;  // csp2GetTime reads the computer's local time
  // In its cradle. Lifted from it, it answers on no port, and barcodes may be scanned
  // into it (added to its file) meanwhile.
  bool docked = true;
  std::vector<Barcode> barcodes;
  Parameters parameters{};
  std::vector<ScriptedResult> script;

  bool operator==(const Device&) const = default;
};

// Parameters that csp2GetRTCMode and csp2GetASCIIMode report.
inline constexpr std::size_t rtc_mode_parameter = 27;
inline constexpr std::size_t ascii_mode_parameter = 28;

// The factory settings that csp2SetDefaults restores.
const Parameters& default_parameters();

// The scanner served when no device file is named: port 3, a dozen barcodes.
Device demo_device();

}  // namespace vkd::sim
