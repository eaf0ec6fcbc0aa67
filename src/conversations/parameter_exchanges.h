#pragma once
// The three single exchanges on the scanner's numbered one-byte parameters and its
// status. Each opens its own port, wakes and interrogates the scanner, does its one
// thing, powers the scanner down and releases the port; none examines the library's
// results beyond what it reports.
#include <cstdint>

#include "automation/host.h"
#include "automation/text.h"
#include "automation/variant.h"
#include "csp2a/library.h"

namespace vkd {

// Reads one parameter after a settling pause. A scanner that does not answer leaves the
// buffer as it was, and the value reads 0.
std::int16_t get_clicker_param(Library& library, Host& host, const Variant& port,
                               std::int16_t number);

// Writes one parameter after a settling pause. A value outside 0-255 is the
// invalid-argument error (5), raised inside the bracket, which is closed first.
void set_clicker_param(Library& library, Host& host, const Variant& port, std::int16_t number,
                       std::int32_t value);

// The status text, without a pause: protocol, then ":" and the system status, the ten
// characters of the version buffer, the ASCII mode and the clock mode. Unavailable
// values show as ":0x??" (protocol) and ":0x????" (the others).
Text interrogate_clicker(Library& library, const Variant& port);

}  // namespace vkd
