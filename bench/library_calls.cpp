#include "library_calls.h"

#include <algorithm>

namespace vkd::bench {

std::size_t LibraryCalls::replay(Library& library) {
  std::size_t alike = 0;
  for (testing::Call& call : calls_) {
    if (make(call, library) == call.result) ++alike;
  }
  return alike;
}

// The integer arguments are those taken down; a call that was given bytes (a time stamp,
// a clock, a parameter value) is given the same bytes again.
std::int32_t LibraryCalls::make(testing::Call& call, Library& library) {
  using testing::Function;
  const std::vector<std::int32_t>& n = call.numbers;
  std::uint8_t* given = call.input.empty() ? other_.data() : call.input.data();
  switch (call.function) {
    case Function::csp2Init: return library.csp2Init(n[0]);
    case Function::csp2Restore: return library.csp2Restore();
    case Function::csp2WakeUp: return library.csp2WakeUp();
    case Function::csp2PowerDown: return library.csp2PowerDown();
    case Function::csp2ReadData: return library.csp2ReadData();
    case Function::csp2GetSystemStatus: return library.csp2GetSystemStatus();
    case Function::csp2ClearData: return library.csp2ClearData();
    case Function::csp2GetPacket: return library.csp2GetPacket(packet_.data(), n[0], n[1]);
    case Function::csp2GetDeviceId: return library.csp2GetDeviceId(other_.data(), n[0]);
    case Function::csp2TimeStamp2Str: return library.csp2TimeStamp2Str(given, stamp_text_.data(), n[0]);
    case Function::csp2GetTime: return library.csp2GetTime(other_.data());
    case Function::csp2SetTime: return library.csp2SetTime(given);
    case Function::csp2GetSwVersion: return library.csp2GetSwVersion(other_.data(), n[0]);
    case Function::csp2Interrogate: return library.csp2Interrogate();
    case Function::csp2GetProtocol: return library.csp2GetProtocol();
    case Function::csp2GetASCIIMode: return library.csp2GetASCIIMode();
    case Function::csp2GetRTCMode: return library.csp2GetRTCMode();
    case Function::csp2GetParam: {
      std::copy(call.input.begin(), call.input.end(), other_.begin());
      return library.csp2GetParam(n[0], other_.data(), n[1]);
    }
    case Function::csp2SetParam: return library.csp2SetParam(n[0], given, n[1]);
    case Function::csp2SetDefaults: return library.csp2SetDefaults();
  }
  return 0;
}

}  // namespace vkd::bench
