#pragma once
// The records of a download, fetched from the library one packet at a time while the
// port found by the search is open, each with its time stamp read through the library.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "automation/date.h"
#include "conversations/time_stamp_text.h"
#include "csp2a/library.h"

namespace vkd {

// How a record came: whole; malformed (its length byte below 5, too short to hold a time
// stamp, which is also how a record the library wrote nothing of reads); or not
// delivered (csp2GetPacket failed, and the download stopped there).
enum class RecordState : std::uint8_t { whole, malformed, not_delivered };

using TimeStamp = std::array<std::uint8_t, csp2a::time_stamp_size>;

struct DownloadedRecord {
  std::int32_t index = 0;  // from 1
  RecordState state = RecordState::not_delivered;
  std::uint8_t code_type = 0;  // the packet's second byte, of a malformed record too
  std::string barcode;         // the barcode's bytes, as the library gave them
  TimeStamp stamp{};
  TimeStampText stamp_text{};  // the library's text for the stamp, as its buffer held it
  // As the object's record list holds it: a malformed record, and a stamp whose date
  // cannot be read, stand on the fallback day 2001-01-01 (see time_stamp_text.h).
  Date time;
  bool time_known = false;  // the time is the one the scanner stamped

  friend bool operator==(const DownloadedRecord&, const DownloadedRecord&) = default;
};

// What the download reports record by record, so that the object's lists follow it.
class RecordObserver {
 public:
  virtual ~RecordObserver() = default;
  // Before the first record of a download of `count` > 0 records.
  virtual void records_started(std::int16_t) {}
  virtual void record_read(const DownloadedRecord&) {}
  // After the last record the download read, however it ended (an error included).
  virtual void records_ended(std::size_t) noexcept {}
};

// A record's bytes in the packet buffer: length byte L, then L bytes of code type,
// barcode and the 4 stamp bytes. Bytes the library did not write read as zeros, never as
// the record before.
struct Packet {
  RecordState state = RecordState::not_delivered;
  std::uint8_t code_type = 0;
  std::span<const std::uint8_t> barcode;  // into the buffer
  TimeStamp stamp{};
};
using PacketBuffer = std::array<std::uint8_t, csp2a::packet_size>;
Packet read_packet(Library& library, std::int32_t record_number, PacketBuffer& buffer);

// Records 1 to `count`, until the library has no more: the first record it does not
// deliver is given as not delivered, and the download ends there. A count of 0 or below
// reads nothing and tells the observer nothing.
std::vector<DownloadedRecord> download_records(Library& library, std::int16_t count,
                                               RecordObserver& observer);

}  // namespace vkd
