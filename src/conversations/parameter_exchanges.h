#pragma once
// The single exchanges on the scanner's numbered one-byte parameters and its status.
// Each opens its own port, wakes and interrogates the scanner, does its one thing,
// powers the scanner down and releases the port; none examines the library's answers
// beyond reporting them.
#include <cstdint>
#include <optional>

#include "automation/host.h"
#include "conversations/read_clock_and_version.h"
#include "csp2a/library.h"

namespace vkd {

struct ParameterValue {
  std::int16_t number = 0;
  std::int32_t opened = 0;  // csp2Init's answer
  std::int32_t result = 0;  // csp2GetParam's answer
  // The first byte of the buffer: 0 when the library wrote nothing.
  std::uint8_t value = 0;
  // The port opened and the library answered: the value is the scanner's.
  bool answered() const { return opened == 0 && result >= 0; }
  friend bool operator==(const ParameterValue&, const ParameterValue&) = default;
};

struct ParameterWrite {
  std::int16_t number = 0;
  std::uint8_t value = 0;
  std::int32_t opened = 0;  // csp2Init's answer
  std::int32_t result = 0;  // csp2SetParam's answer
  bool answered() const { return opened == 0 && result >= 0; }
};

// The status items; an item the library did not give (a negative answer) is absent.
struct StatusReport {
  std::int32_t opened = 0;  // csp2Init's answer
  std::optional<std::int32_t> protocol;
  std::optional<std::int32_t> system_status;
  VersionBytes version{};  // all ten bytes, as the library left them
  std::int32_t version_result = 0;
  std::optional<std::int32_t> ascii_mode;
  std::optional<std::int32_t> rtc_mode;
};

// Reads one parameter after a settling pause.
ParameterValue read_parameter(Library& library, Host& host, std::int32_t port, std::int16_t number);

// Writes one parameter after a settling pause. A value outside 0-255 is the
// invalid-argument error (5), raised inside the bracket, which is closed first.
ParameterWrite write_parameter(Library& library, Host& host, std::int32_t port, std::int16_t number,
                               std::int32_t value);

// The status items, without a pause: protocol, system status, version, ASCII mode and
// clock mode.
StatusReport interrogate_scanner(Library& library, std::int32_t port);

// csp2SetDefaults, on its own: no bracket of its own, as the scanner takes it.
void restore_defaults(Library& library);

}  // namespace vkd
