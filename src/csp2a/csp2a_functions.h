#pragma once
// The functions of the scanner vendor's library csp2a that this component calls, with
// their exact signatures: every result is a 32-bit signed integer, integers pass by
// value, byte buffers pass as pointers to the caller's own fixed-size buffers. On 32-bit
// Windows they use the standard calling convention.
//
// CSP2A_FUNCTIONS(X) expands X(name, parameter list, argument list) once per function,
// so the binding, the fakes and the simulated library are all generated from this list.
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define CSP2A_CALL __stdcall
#else
#define CSP2A_CALL
#endif

#define CSP2A_FUNCTIONS(X)                                                                  \
  X(csp2Init, (std::int32_t port), (port))                                                  \
  X(csp2Restore, (), ())                                                                    \
  X(csp2WakeUp, (), ())                                                                     \
  X(csp2PowerDown, (), ())                                                                  \
  X(csp2ReadData, (), ())                                                                   \
  X(csp2GetSystemStatus, (), ())                                                            \
  X(csp2ClearData, (), ())                                                                  \
  X(csp2GetPacket, (std::uint8_t * packet, std::int32_t record, std::int32_t length),       \
    (packet, record, length))                                                               \
  X(csp2GetDeviceId, (std::uint8_t * id, std::int32_t length), (id, length))                \
  X(csp2TimeStamp2Str, (std::uint8_t * stamp, std::uint8_t * text, std::int32_t length),    \
    (stamp, text, length))                                                                  \
  X(csp2GetTime, (std::uint8_t * clock), (clock))                                           \
  X(csp2SetTime, (std::uint8_t * clock), (clock))                                           \
  X(csp2GetSwVersion, (std::uint8_t * version, std::int32_t length), (version, length))     \
  X(csp2Interrogate, (), ())                                                                \
  X(csp2GetProtocol, (), ())                                                                \
  X(csp2GetASCIIMode, (), ())                                                               \
  X(csp2GetRTCMode, (), ())                                                                 \
  X(csp2GetParam, (std::int32_t parameter, std::uint8_t * value, std::int32_t length),      \
    (parameter, value, length))                                                             \
  X(csp2SetParam, (std::int32_t parameter, std::uint8_t * value, std::int32_t length),      \
    (parameter, value, length))                                                             \
  X(csp2SetDefaults, (), ())

// Fixed buffer sizes of the conversations.
namespace vkd::csp2a {
inline constexpr int packet_size = 500;
inline constexpr int device_id_size = 9;
inline constexpr int time_stamp_size = 4;
inline constexpr int time_stamp_text_size = 30;
inline constexpr int clock_size = 6;
inline constexpr int version_size = 10;
inline constexpr int parameter_size = 10;
}  // namespace vkd::csp2a
