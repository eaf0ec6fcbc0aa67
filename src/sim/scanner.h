#pragma once
// The simulated scanner's behaviour, free of files and environment: a port that one
// caller holds at a time, the records the library takes in with csp2ReadData, and the
// device's answers to each command.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "sim/device.h"

namespace vkd::sim {

// A call's result and how many bytes of its output buffer it wrote.
struct Answer {
  std::int32_t result = 0;
  std::size_t written = 0;
};

class Scanner {
 public:
  using Change = std::function<void(Device&)>;
  // Makes a change to the device where it is kept and gives the device as it then is;
  // nothing when the change could not be kept, and then nothing changed. Where the device
  // is kept in a file that other processes change too, the change is made to the file's
  // content of that moment, which need not be `current`.
  using Store = std::function<std::optional<Device>(const Device& current, const Change& change)>;

  // Keeps every change in the scanner's own memory, as the demo scanner and the test
  // doubles do.
  static Store in_memory();

  Scanner(Device device, Store store) : device_(std::move(device)), store_(std::move(store)) {}

  const Device& device() const { return device_; }
  // A new description of the same scanner: a held port stays held, and the records the
  // library has taken in stay with it.
  void replace_device(Device device) {
    keep_taken();
    device_ = std::move(device);
  }

  Answer open(std::int32_t port);
  Answer release();
  // csp2WakeUp, csp2PowerDown, csp2Interrogate: answered while the port is held.
  Answer command() const;
  Answer system_status() const;
  Answer protocol() const;
  Answer ascii_mode() const;
  Answer rtc_mode() const;
  Answer read_data();
  Answer clear_data();
  // The record as sim/record.h lays it out.
  Answer packet(std::int32_t record, std::span<std::uint8_t> out) const;
  Answer device_id(std::span<std::uint8_t> out) const;
  Answer time_stamp_text(const std::uint8_t* stamp, std::span<std::uint8_t> out) const;
  Answer clock(std::span<std::uint8_t> out) const;
  Answer set_clock(std::span<const std::uint8_t> clock);
  // Served with or without a held port: the component asks for it after the release.
  Answer version(std::span<std::uint8_t> out) const;
  Answer parameter(std::int32_t number, std::span<std::uint8_t> out) const;
  Answer set_parameter(std::int32_t number, std::span<const std::uint8_t> value);
  // Served with or without a held port, as the component calls it.
  Answer restore_defaults();

 private:
  Answer value_while_open(std::int32_t value) const;
  Answer change(const Change& change);
  // The records taken in are the device's own until the device changes; they are copied
  // only then, so that a download costs no copy of every record.
  const std::vector<Barcode>& taken() const { return taken_from_device_ ? device_.barcodes : taken_; }
  void keep_taken();

  Device device_;
  Store store_;
  bool held_ = false;
  bool taken_from_device_ = false;
  std::vector<Barcode> taken_;
};

}  // namespace vkd::sim
