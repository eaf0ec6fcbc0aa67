#pragma once
// What the simulated library's calls answer. Success is 0 (or a count or size where the
// call returns one); each failure has its own negative number, so that a trace or a
// connection log tells them apart.
#include <cstdint>

namespace vkd::sim::result {

inline constexpr std::int32_t ok = 0;
inline constexpr std::int32_t no_scanner = -1;       // nothing answers on that port
inline constexpr std::int32_t no_record = -2;        // no such record in the library
inline constexpr std::int32_t port_not_open = -3;    // a scanner command outside csp2Init..csp2Restore
inline constexpr std::int32_t bad_argument = -4;     // buffer too small, value out of range
inline constexpr std::int32_t device_unusable = -5;  // the device file cannot be read or written
inline constexpr std::int32_t port_in_use = -6;      // csp2Init on the port already held
inline constexpr std::int32_t internal_failure = -7;  // out of memory and the like

}  // namespace vkd::sim::result
