#include "conversations/download_records.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "automation/text.h"
#include "conversations/time_stamp_text.h"

namespace vkd {

namespace {

// A record is its length byte L and the L bytes that follow: code type, barcode, and
// the 4 time-stamp bytes at its end. L is one byte, so a record always fits the buffer.
constexpr std::size_t shortest_record = 5;
constexpr std::size_t barcode_offset = 2;
// The most bytes of the buffer a record can reach: its length byte and 255 more.
constexpr std::size_t longest_record = 1 + std::numeric_limits<std::uint8_t>::max();
static_assert(longest_record <= csp2a::packet_size, "a record never reaches past the packet buffer");

using Packet = std::array<std::uint8_t, csp2a::packet_size>;
constexpr std::array<std::uint8_t, longest_record> no_bytes{};

// The system's one-character-per-byte reading of library texts, taken once for all 256
// byte values, so that a record's bytes become characters by a table look-up.
class ByteReading {
 public:
  ByteReading() {
    std::array<std::uint8_t, 256> all_bytes{};
    for (std::size_t b = 0; b < all_bytes.size(); ++b) all_bytes[b] = static_cast<std::uint8_t>(b);
    const Text characters = text_from_bytes(all_bytes);
    std::copy_n(characters.begin(), characters_.size(), characters_.begin());
  }

  // Writes a record's barcode into its text, whose buffer is used again where it is
  // large enough. A text of the barcode's length, as a repeated download of like
  // barcodes leaves it, is written over in place, neither emptied nor filled first.
  void assign(Text& text, std::span<const std::uint8_t> bytes) const {
    if (text.size() != bytes.size()) text.resize(bytes.size());
    char16_t* const out = text.data();
    for (std::size_t k = 0; k < bytes.size(); ++k) out[k] = characters_[bytes[k]];
  }

 private:
  std::array<char16_t, 256> characters_{};
};

// The record lists for indexes 0 to `size` - 1. Lists that an earlier download left are
// used again in place, so that their texts keep their buffers and a repeated download of
// like barcodes allocates nothing for them. Each entry the download fills is overwritten
// whole; every other one (entry 0, and those after the last record read, however the
// download ends) is left as a new list holds it: an empty text, no code type, the date 0.
class RecordLists {
 public:
  RecordLists(ClickerState& state, std::size_t size)
      : texts(fresh(state.barcode_texts, size)),
        types(fresh(state.barcode_types, size)),
        times(fresh(state.barcode_times, size)) {}
  RecordLists(const RecordLists&) = delete;
  RecordLists& operator=(const RecordLists&) = delete;
  ~RecordLists() {
    clear(0, 1);
    clear(filled_end_, texts.size());
  }

  // Entries 1 to `end` - 1 hold records.
  void filled_to(std::size_t end) { filled_end_ = end; }

  std::vector<Text>& texts;
  std::vector<Variant>& types;
  std::vector<Date>& times;

 private:
  template <typename Entry>
  static std::vector<Entry>& fresh(std::optional<std::vector<Entry>>& list, std::size_t size) {
    if (!list) return list.emplace(size);
    list->resize(size);
    return *list;
  }

  void clear(std::size_t begin, std::size_t end) {
    for (std::size_t i = begin; i < end; ++i) {
      texts[i].clear();
      types[i] = Variant();
      times[i] = Date{};
    }
  }

  std::size_t filled_end_ = 1;
};

}  // namespace

void download_records(ClickerState& state, Library& library) {
  if (state.num_barcodes <= 0) return;
  const auto count = static_cast<std::size_t>(state.num_barcodes);
  // No host event runs during the download, so the lists stay where they are.
  RecordLists lists(state, count + 1);

  Packet packet{};
  const ByteReading reading;
  TimeStampReader stamps;
  for (std::size_t i = 1; i <= count; lists.filled_to(++i)) {
    const auto record_number = static_cast<std::int32_t>(i - 1);  // counted from 0
    // Whatever the library leaves unwritten reads as zeros, never as the record before:
    // a record with nothing written is the short record of length 0. Bytes past the
    // longest record are never read.
    // (Copied from zeros: a fill of this size becomes a string instruction whose start
    // costs more than the copy.)
    std::copy_n(no_bytes.begin(), no_bytes.size(), packet.begin());
    // No such record: the download ends here, silently.
    if (library.csp2GetPacket(packet.data(), record_number, csp2a::packet_size) < 0) return;
    const std::size_t length = packet[0];
    lists.types[i].set(static_cast<std::int16_t>(packet[1]));
    if (length < shortest_record) {
      // Too short to hold a time stamp: no text, and the date of an unreadable stamp.
      lists.texts[i].clear();
      lists.times[i] = unreadable_time_stamp_date();
      continue;
    }
    reading.assign(lists.texts[i], std::span(packet).subspan(barcode_offset, length - shortest_record));
    // The record's last 4 bytes, of its L + 1.
    TimeStampReader::TimeStamp stamp{};
    std::copy_n(packet.begin() + static_cast<std::ptrdiff_t>(length + 1 - stamp.size()),
                stamp.size(), stamp.begin());
    lists.times[i] = stamps.read(library, stamp);
  }
}

}  // namespace vkd
