#include "conversations/download_records.h"

#include <algorithm>
#include <limits>

namespace vkd {

namespace {

// A record is its length byte L and the L bytes that follow: code type, barcode, and
// the 4 time-stamp bytes at its end. L is one byte, so a record always fits the buffer.
constexpr std::size_t shortest_record = 5;
constexpr std::size_t barcode_offset = 2;
// The most bytes of the buffer a record can reach: its length byte and 255 more.
constexpr std::size_t longest_record = 1 + std::numeric_limits<std::uint8_t>::max();
static_assert(longest_record <= csp2a::packet_size, "a record never reaches past the packet buffer");
constexpr std::array<std::uint8_t, longest_record> no_bytes{};

// Tells the observer how many records were read, on every way out of the download.
class RecordsEnd {
 public:
  explicit RecordsEnd(RecordObserver& observer) : observer_(observer) {}
  RecordsEnd(const RecordsEnd&) = delete;
  RecordsEnd& operator=(const RecordsEnd&) = delete;
  ~RecordsEnd() { observer_.records_ended(read); }

  std::size_t read = 0;

 private:
  RecordObserver& observer_;
};

}  // namespace

Packet read_packet(Library& library, std::int32_t record_number, PacketBuffer& buffer) {
  // Bytes past the longest record are never read. (Copied from zeros: a fill of this
  // size becomes a string instruction whose start costs more than the copy.)
  std::copy_n(no_bytes.begin(), no_bytes.size(), buffer.begin());
  Packet packet;
  if (library.csp2GetPacket(buffer.data(), record_number, csp2a::packet_size) < 0) return packet;
  const std::size_t length = buffer[0];
  packet.code_type = buffer[1];
  if (length < shortest_record) {
    packet.state = RecordState::malformed;
    return packet;
  }
  packet.state = RecordState::whole;
  packet.barcode = std::span<const std::uint8_t>(buffer).subspan(barcode_offset, length - shortest_record);
  // The record's last 4 bytes, of its L + 1.
  std::copy_n(buffer.begin() + static_cast<std::ptrdiff_t>(length + 1 - packet.stamp.size()),
              packet.stamp.size(), packet.stamp.begin());
  return packet;
}

std::vector<DownloadedRecord> download_records(Library& library, std::int16_t count,
                                               RecordObserver& observer) {
  std::vector<DownloadedRecord> records;
  if (count <= 0) return records;
  records.reserve(static_cast<std::size_t>(count));
  observer.records_started(count);
  RecordsEnd end(observer);

  PacketBuffer buffer{};
  TimeStampReader stamps;
  for (std::int32_t index = 1; index <= count; ++index) {
    const Packet packet = read_packet(library, index - 1, buffer);  // counted from 0 there
    // Made whole at once: a barcode is short enough for the text's own buffer, and
    // filling it in afterwards would cost more than the copy.
    DownloadedRecord& record = records.emplace_back(DownloadedRecord{
        index, packet.state, packet.code_type,
        std::string(reinterpret_cast<const char*>(packet.barcode.data()), packet.barcode.size()), packet.stamp, {}, {}, false});
    // No such record: the download ends here.
    if (packet.state == RecordState::not_delivered) return records;
    if (packet.state == RecordState::malformed) {
      // Too short to hold a time stamp: no text, and the date of an unreadable stamp.
      record.time = unreadable_time_stamp_date();
    } else {
      const StampReading reading = stamps.read(library, packet.stamp, record.stamp_text);
      record.time = reading.date;
      record.time_known = reading.known;
    }
    observer.record_read(record);
    end.read = static_cast<std::size_t>(index);
  }
  return records;
}

}  // namespace vkd
