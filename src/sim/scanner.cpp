#include "sim/scanner.h"

#include <algorithm>
#include <limits>
#include <utility>

#include "sim/local_clock.h"
#include "sim/record.h"
#include "sim/result.h"
#include "sim/time_stamp.h"

namespace vkd::sim {

namespace {

// What the scanner reports about itself: a protocol revision and "in order".
constexpr std::int32_t protocol_revision = 4;
constexpr std::int32_t status_in_order = 0;

Answer copy_out(std::span<const std::uint8_t> bytes, std::span<std::uint8_t> out) {
  const std::size_t n = std::min(bytes.size(), out.size());
  std::copy_n(bytes.begin(), n, out.begin());
  return {result::ok, n};
}

bool valid_clock(std::span<const std::uint8_t> c) {
  return c[0] < 60 && c[1] < 60 && c[2] <= 24 && c[3] >= 1 && c[3] <= 31 && c[4] >= 1 &&
         c[4] <= 12 && c[5] < 100;
}

}  // namespace

Scanner::Store Scanner::in_memory() {
  return [](const Device& current, const Change& change) {
    std::optional<Device> changed = current;
    change(*changed);
    return changed;
  };
}

Answer Scanner::change(const Change& change) {
  std::optional<Device> changed = store_(device_, change);
  if (!changed) return {result::device_unusable};
  keep_taken();
  device_ = std::move(*changed);
  return {result::ok};
}

void Scanner::keep_taken() {
  if (!taken_from_device_) return;
  taken_ = device_.barcodes;
  taken_from_device_ = false;
}

Answer Scanner::value_while_open(std::int32_t value) const {
  return {held_ ? value : result::port_not_open};
}

Answer Scanner::open(std::int32_t port) {
  if (!device_.docked || port != device_.port) return {result::no_scanner};
  if (held_) return {result::port_in_use};
  held_ = true;
  return {result::ok};
}

Answer Scanner::release() {
  held_ = false;
  return {result::ok};
}

Answer Scanner::command() const { return value_while_open(result::ok); }
Answer Scanner::system_status() const { return value_while_open(status_in_order); }
Answer Scanner::protocol() const { return value_while_open(protocol_revision); }
Answer Scanner::ascii_mode() const { return value_while_open(device_.parameters[ascii_mode_parameter]); }
Answer Scanner::rtc_mode() const { return value_while_open(device_.parameters[rtc_mode_parameter]); }

Answer Scanner::read_data() {
  if (!held_) return {result::port_not_open};
  taken_from_device_ = true;
  taken_.clear();
  return {static_cast<std::int32_t>(
      std::min<std::size_t>(taken().size(), std::numeric_limits<std::int32_t>::max()))};
}

Answer Scanner::clear_data() {
  if (!held_) return {result::port_not_open};
  return change([](Device& device) { device.barcodes.clear(); });
}

Answer Scanner::packet(std::int32_t record, std::span<std::uint8_t> out) const {
  const std::vector<Barcode>& records = taken();
  if (record < 0 || static_cast<std::size_t>(record) >= records.size()) return {result::no_record};
  const Barcode& barcode = records[static_cast<std::size_t>(record)];
  if (out.size() < record_size(barcode)) return {result::bad_argument};
  const std::size_t size = encode_record(barcode, out);
  return {static_cast<std::int32_t>(size), size};
}

// The 8 identifier bytes and a NUL, as far as the buffer reaches.
Answer Scanner::device_id(std::span<std::uint8_t> out) const {
  if (!held_) return {result::port_not_open};
  std::array<std::uint8_t, 9> id{};
  std::copy(device_.id.begin(), device_.id.end(), id.begin());
  return copy_out(id, out);
}

// The text and its terminating NUL, cut so that the NUL always fits.
Answer Scanner::time_stamp_text(const std::uint8_t* stamp, std::span<std::uint8_t> out) const {
  if (stamp == nullptr || out.empty()) return {result::bad_argument};
  TimeStamp bytes{};
  std::copy_n(stamp, bytes.size(), bytes.begin());
  std::size_t n = time_stamp_text_length;
  if (out.size() > n) {
    // Written where it goes: a text written here and copied would be read back in wider
    // pieces than it was written in, which stalls the processor on every record.
    write_time_stamp_text(bytes, out.data());
  } else {
    std::array<std::uint8_t, time_stamp_text_length> text{};
    write_time_stamp_text(bytes, text.data());
    n = out.size() - 1;
    std::copy_n(text.begin(), n, out.begin());
  }
  out[n] = 0;
  return {result::ok, n + 1};
}

Answer Scanner::clock(std::span<std::uint8_t> out) const {
  if (!held_) return {result::port_not_open};
  if (out.size() < device_.clock.size()) return {result::bad_argument};
  return copy_out(device_.running_clock ? local_clock() : device_.clock, out);
}

Answer Scanner::set_clock(std::span<const std::uint8_t> clock) {
  if (!held_) return {result::port_not_open};
  if (clock.size() < device_.clock.size() || !valid_clock(clock)) return {result::bad_argument};
  Clock set{};
  std::copy_n(clock.begin(), set.size(), set.begin());
  return change([set](Device& device) { device.clock = set; });
}

Answer Scanner::version(std::span<std::uint8_t> out) const { return copy_out(device_.version, out); }

Answer Scanner::parameter(std::int32_t number, std::span<std::uint8_t> out) const {
  if (!held_) return {result::port_not_open};
  if (number < 0 || static_cast<std::size_t>(number) >= device_.parameters.size() || out.empty()) {
    return {result::bad_argument};
  }
  out[0] = device_.parameters[static_cast<std::size_t>(number)];
  return {result::ok, 1};
}

Answer Scanner::set_parameter(std::int32_t number, std::span<const std::uint8_t> value) {
  if (!held_) return {result::port_not_open};
  if (number < 0 || static_cast<std::size_t>(number) >= device_.parameters.size() || value.empty()) {
    return {result::bad_argument};
  }
  return change([at = static_cast<std::size_t>(number), byte = value[0]](Device& device) {
    device.parameters[at] = byte;
  });
}

Answer Scanner::restore_defaults() {
  return change([](Device& device) { device.parameters = default_parameters(); });
}

}  // namespace vkd::sim
