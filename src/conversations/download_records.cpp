#include "conversations/download_records.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "automation/text.h"

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
using TimeStamp = std::array<std::uint8_t, csp2a::time_stamp_size>;

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
  // large enough.
  void assign(Text& text, std::span<const std::uint8_t> bytes) const {
    text.resize(bytes.size());
    char16_t* out = text.data();
    for (const std::uint8_t byte : bytes) *out++ = characters_[byte];
  }

 private:
  std::array<char16_t, 256> characters_{};
};

// Turns a record's time-stamp bytes into a date through the library's text for them.
// Its buffers live for the whole download, and the date's parts are read where they stand
// in the text, so that decoding costs no allocation per record. Everything the text is
// searched for or read as ("63", "??", "/", digits, ":", blanks, AM and PM) is plain
// ASCII: every single-byte code page reads the bytes below 0x80 as those same ASCII
// characters and no byte above 0x7F as one, so each byte is taken as the character of
// its own value, with the same outcome as through the code page and without a look-up.
class TimeStampReader {
 public:
  Date read(Library& library, TimeStamp stamp) {
    library.csp2TimeStamp2Str(stamp.data(), bytes_.data(), csp2a::time_stamp_text_size);
    // Fields the scanner does not know come out as "63" or "??"; the first of each is
    // read as "00", unless it opens the text.
    repair_first("63");
    repair_first("??");

    Date date = fallback_;
    if (const std::optional<DateText> parts = split_date();
        parts && date_text_check(parts->first, parts->middle, parts->third)) {
      date = date_serial(field(parts->third), field(parts->first), field(parts->middle));
    }
    if (const auto seconds = time_of_day_from_text(characters(0, time_of_day_length))) {
      date = at_time_of_day(date, *seconds);
    }
    return date;
  }

  // The date of a time stamp that cannot be read: the text "01/01/01" in every order of
  // day, month and year.
  Date fallback() const { return fallback_; }

 private:
  static constexpr std::size_t time_of_day_length = 11;

  struct DateText {
    std::u16string_view first, middle, third;
  };

  std::string_view byte_text() const {
    return {reinterpret_cast<const char*>(bytes_.data()), bytes_.size()};
  }

  void repair_first(std::string_view unknown) {
    const std::size_t at = byte_text().find(unknown);
    if (at != std::string_view::npos && at != 0) std::fill_n(bytes_.begin() + at, unknown.size(), '0');
  }

  // The characters of `count` bytes from `begin` on, each at its byte's place: only the
  // parts that are read are made characters at all.
  std::u16string_view characters(std::size_t begin, std::size_t count) {
    std::copy_n(bytes_.begin() + begin, count, text_.begin() + begin);
    return {text_.data() + begin, count};
  }

  // The date stands as first/middle/third: two characters before the first "/", all
  // between it and the next "/", and up to two after that. Without two slashes, or with
  // the first too close to the start for two characters before it, there is no date.
  std::optional<DateText> split_date() {
    const std::string_view text = byte_text();
    const std::size_t slash = text.find('/');
    if (slash == std::string_view::npos || slash < 2) return std::nullopt;
    const std::size_t next_slash = text.find('/', slash + 1);
    if (next_slash == std::string_view::npos) return std::nullopt;
    const std::size_t third_length = std::min<std::size_t>(2, text.size() - next_slash - 1);
    return DateText{characters(slash - 2, 2), characters(slash + 1, next_slash - slash - 1),
                    characters(next_slash + 1, third_length)};
  }

  // The parts passed the check: nothing but digits, naming a day, a month or a two-digit
  // year, so their plain decimal value is what the 16-bit conversion gives.
  static int field(std::u16string_view part) {
    int value = 0;
    for (const char16_t digit : part) value = value * 10 + (digit - u'0');
    return value;
  }

  // Kept between records, as the library's own buffer is: a shorter text leaves the
  // tail of the one before.
  std::array<std::uint8_t, csp2a::time_stamp_text_size> bytes_{};
  // The characters of the parts read, each at its byte's place.
  std::array<char16_t, csp2a::time_stamp_text_size> text_{};
  const Date fallback_ = date_serial(2001, 1, 1);
};

// The record lists made afresh for indexes 0 to `size` - 1, every entry as a new list
// holds it: an empty text, no code type, the date 0. Lists that an earlier download left
// are emptied in place, so that their texts keep their buffers and a repeated download
// of like barcodes allocates nothing for them.
struct RecordLists {
  RecordLists(ClickerState& state, std::size_t size)
      : texts(fresh(state.barcode_texts, size)),
        types(fresh(state.barcode_types, size)),
        times(fresh(state.barcode_times, size)) {
    for (Text& text : texts) text.clear();
    std::fill(types.begin(), types.end(), Variant());
    std::fill(times.begin(), times.end(), Date{});
  }

  template <typename Entry>
  static std::vector<Entry>& fresh(std::optional<std::vector<Entry>>& list, std::size_t size) {
    if (!list) return list.emplace(size);
    list->resize(size);
    return *list;
  }

  std::vector<Text>& texts;
  std::vector<Variant>& types;
  std::vector<Date>& times;
};

}  // namespace

void download_records(ClickerState& state, Library& library) {
  if (state.num_barcodes <= 0) return;
  const auto count = static_cast<std::size_t>(state.num_barcodes);
  // No host event runs during the download, so the lists stay where they are.
  auto [texts, types, times] = RecordLists(state, count + 1);

  Packet packet{};
  const ByteReading reading;
  TimeStampReader stamps;
  for (std::size_t i = 1; i <= count; ++i) {
    const auto record_number = static_cast<std::int32_t>(i - 1);  // counted from 0
    // Whatever the library leaves unwritten reads as zeros, never as the record before:
    // a record with nothing written is the short record of length 0. Bytes past the
    // longest record are never read.
    std::fill_n(packet.begin(), longest_record, 0);
    // No such record: the download ends here, silently.
    if (library.csp2GetPacket(packet.data(), record_number, csp2a::packet_size) < 0) return;
    const std::size_t length = packet[0];
    types[i] = Variant(static_cast<std::int16_t>(packet[1]));
    if (length < shortest_record) {
      // Too short to hold a time stamp: no text, and the date of an unreadable stamp.
      times[i] = stamps.fallback();
      continue;
    }
    reading.assign(texts[i], std::span(packet).subspan(barcode_offset, length - shortest_record));
    // The record's last 4 bytes, of its L + 1.
    TimeStamp stamp{};
    std::copy_n(packet.begin() + static_cast<std::ptrdiff_t>(length + 1 - stamp.size()),
                stamp.size(), stamp.begin());
    times[i] = stamps.read(library, stamp);
  }
}

}  // namespace vkd
