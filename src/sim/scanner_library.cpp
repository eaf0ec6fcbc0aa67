#include "sim/scanner_library.h"

#include "sim/caller_buffer.h"

namespace vkd::sim {

std::int32_t ScannerLibrary::csp2Init(std::int32_t port) { return scanner_.open(port).result; }
std::int32_t ScannerLibrary::csp2Restore() { return scanner_.release().result; }
std::int32_t ScannerLibrary::csp2WakeUp() { return scanner_.command().result; }
std::int32_t ScannerLibrary::csp2PowerDown() { return scanner_.command().result; }
std::int32_t ScannerLibrary::csp2Interrogate() { return scanner_.command().result; }
std::int32_t ScannerLibrary::csp2ReadData() { return scanner_.read_data().result; }
std::int32_t ScannerLibrary::csp2GetSystemStatus() { return scanner_.system_status().result; }
std::int32_t ScannerLibrary::csp2GetProtocol() { return scanner_.protocol().result; }
std::int32_t ScannerLibrary::csp2GetASCIIMode() { return scanner_.ascii_mode().result; }
std::int32_t ScannerLibrary::csp2GetRTCMode() { return scanner_.rtc_mode().result; }
std::int32_t ScannerLibrary::csp2ClearData() { return scanner_.clear_data().result; }
std::int32_t ScannerLibrary::csp2SetDefaults() { return scanner_.restore_defaults().result; }

std::int32_t ScannerLibrary::csp2GetPacket(std::uint8_t* packet, std::int32_t record,
                                           std::int32_t length) {
  return scanner_.packet(record, caller_buffer(packet, length)).result;
}

std::int32_t ScannerLibrary::csp2GetDeviceId(std::uint8_t* id, std::int32_t length) {
  return scanner_.device_id(caller_buffer(id, length)).result;
}

std::int32_t ScannerLibrary::csp2TimeStamp2Str(std::uint8_t* stamp, std::uint8_t* text,
                                               std::int32_t length) {
  return scanner_.time_stamp_text(stamp, caller_buffer(text, length)).result;
}

std::int32_t ScannerLibrary::csp2GetTime(std::uint8_t* clock) {
  return scanner_.clock(caller_buffer(clock, csp2a::clock_size)).result;
}

std::int32_t ScannerLibrary::csp2SetTime(std::uint8_t* clock) {
  return scanner_.set_clock(caller_buffer(clock, csp2a::clock_size)).result;
}

std::int32_t ScannerLibrary::csp2GetSwVersion(std::uint8_t* version, std::int32_t length) {
  return scanner_.version(caller_buffer(version, length)).result;
}

std::int32_t ScannerLibrary::csp2GetParam(std::int32_t parameter, std::uint8_t* value,
                                          std::int32_t length) {
  return scanner_.parameter(parameter, caller_buffer(value, length)).result;
}

std::int32_t ScannerLibrary::csp2SetParam(std::int32_t parameter, std::uint8_t* value,
                                          std::int32_t length) {
  return scanner_.set_parameter(parameter, caller_buffer(value, length)).result;
}

}  // namespace vkd::sim
