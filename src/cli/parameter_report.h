#pragma once
// The component's showparams text taken apart: the values read, then the scanner's
// status items, each under its name.
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "automation/text.h"

namespace vkd::cli {

// False when the status items show that nobody answered: the protocol's placeholder
// "0x??" then stands right after the parameters' ":".
bool scanner_answered(const Text& showparams);

// "N=V" per parameter, then protocol, status, version (without its NUL padding),
// ascii_mode and rtc_mode as "name=value", one per line. `numbers` are the parameters
// asked for, in order; none when the text is not of that shape.
std::optional<std::string> named_parameter_lines(const Text& showparams,
                                                 std::span<const int> numbers);

}  // namespace vkd::cli
