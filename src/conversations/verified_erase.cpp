#include "conversations/verified_erase.h"

#include <algorithm>
#include <utility>

namespace vkd {

namespace {

bool same_record(const Packet& packet, const DownloadedRecord& record) {
  return packet.state == RecordState::whole && record.state == RecordState::whole &&
         packet.code_type == record.code_type && packet.stamp == record.stamp &&
         std::ranges::equal(packet.barcode, record.barcode,
                            [](std::uint8_t byte, char character) { return byte == static_cast<std::uint8_t>(character); });
}

ScannerContent compare(Library& library, std::int16_t count, std::span<const DownloadedRecord> downloaded) {
  if (static_cast<std::size_t>(count) != downloaded.size()) return ScannerContent::changed;
  PacketBuffer buffer{};
  for (std::size_t i = 0; i < downloaded.size(); ++i) {
    const Packet packet = read_packet(library, static_cast<std::int32_t>(i), buffer);
    if (!same_record(packet, downloaded[i])) return ScannerContent::changed;
  }
  return ScannerContent::same;
}

}  // namespace

VerifiedErase verified_erase(Library& library, Host& host, std::int32_t port,
                             std::span<const DownloadedRecord> downloaded, const Text& date_time,
                             EmptyingObserver& observer) {
  VerifiedErase erase;
  std::optional<OpenPort> open_port = open_told(library, host, port, erase.opening, observer);
  if (!open_port) return erase;
  if (!date_time.empty()) erase.clock = set_clicker_time(*open_port, date_time, clock_attempts, observer);
  settling_pause(host);
  if (!scanner_answers(*open_port, erase.opening, observer)) return erase;
  erase.content = compare(library, *erase.opening.count, downloaded);
  if (erase.content == ScannerContent::same) erase.clears = clear_scanner(library, clear_attempts, observer);
  open_port->release();
  return erase;
}

}  // namespace vkd
