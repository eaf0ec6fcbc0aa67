#pragma once
// A scanner played by the fake library: it answers on one port and serves its records,
// time-stamp texts, identifier, clock and version as the library would. Its fields can
// change between two conversations.
#include <algorithm>
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "fake_library.h"

namespace vkd::testing {

struct StoredBarcode {
  std::uint8_t type = 0;
  std::string barcode;
  std::string stamp_text;  // what csp2TimeStamp2Str writes for it: time, then the date
};

class ScriptedScanner {
 public:
  explicit ScriptedScanner(FakeLibrary& library) {
    library.handle(Function::csp2Init, [this](auto, std::span<const std::int32_t> numbers) {
      return numbers[0] == port ? 0 : -1;
    });
    library.handle(Function::csp2ReadData, [this](auto, auto) { return count; });
    library.handle(Function::csp2GetSystemStatus, [this](auto, auto) { return status; });
    library.handle(Function::csp2GetDeviceId, [this](std::span<std::uint8_t> out, auto) {
      return fill(out, id);
    });
    library.handle(Function::csp2GetPacket,
                   [this](std::span<std::uint8_t> packet, std::span<const std::int32_t> numbers) {
                     const auto index = static_cast<std::size_t>(numbers[0]);
                     if (index >= barcodes.size()) return -1;
                     const StoredBarcode& stored = barcodes[index];
                     packet[0] = static_cast<std::uint8_t>(stored.barcode.size() + 5);
                     packet[1] = stored.type;
                     std::copy(stored.barcode.begin(), stored.barcode.end(), packet.begin() + 2);
                     stamp_of_last_packet_ = index;
                     return 0;
                   });
    library.handle(Function::csp2TimeStamp2Str, [this](std::span<std::uint8_t> text, auto) {
      const std::string& stamp = barcodes[stamp_of_last_packet_].stamp_text;
      return fill(text, std::string_view(stamp.c_str(), stamp.size() + 1));  // with its NUL
    });
    library.handle(Function::csp2GetTime, [this](std::span<std::uint8_t> out, auto) {
      return fill(out, clock);
    });
    library.handle(Function::csp2GetSwVersion, [this](std::span<std::uint8_t> out, auto) {
      return fill(out, version);
    });
  }
  ScriptedScanner(const ScriptedScanner&) = delete;
  ScriptedScanner& operator=(const ScriptedScanner&) = delete;

  std::int32_t port = 0;
  std::int32_t count = 0;  // the number csp2ReadData reports
  std::int32_t status = 0;
  std::array<std::uint8_t, 8> id{};
  std::array<std::uint8_t, 6> clock{};  // seconds, minutes, hours, day, month, year
  std::string version;
  std::vector<StoredBarcode> barcodes;  // served as packets 0, 1, ...; later ones fail

 private:
  static std::int32_t fill(std::span<std::uint8_t> out, const auto& bytes) {
    std::copy_n(bytes.begin(), std::min(out.size(), bytes.size()), out.begin());
    return 0;
  }

  std::size_t stamp_of_last_packet_ = 0;
};

}  // namespace vkd::testing
