#include <utility>

#include "sim/device.h"

namespace vkd::sim {

namespace {

// Code-type numbers of the simulated scanner.
enum CodeType : std::uint8_t {
  code_39 = 1,
  code_128 = 3,
  interleaved_2_of_5 = 6,
  upc_a = 8,
  ean_8 = 12,
  ean_13 = 22,
};

Barcode scanned(CodeType type, std::string text, int day, int hour, int minute, int second) {
  return {type, std::move(text),
          pack({.second = second, .minute = minute, .hour = hour, .day = day, .month = 5, .year = 9})};
}

}  // namespace

Device demo_device() {
  Device device;
  device.port = 3;
  device.id = {0x10, 0x4A, 0x00, 0x7E, 0x23, 0x91, 0xC5, 0x0B};
  device.version = {'S', 'I', 'M', ' ', '2', '.', '1', '0', 0, 0};
  device.clock = {5, 20, 16, 4, 5, 9};  // 4 May 2009, 16:20:05
  device.parameters = default_parameters();
  device.barcodes = {
      scanned(ean_13, "4006381333931", 1, 9, 12, 44),
      scanned(ean_13, "5901234123457", 1, 9, 13, 2),
      scanned(upc_a, "036000291452", 1, 13, 45, 2),
      scanned(code_39, "SIM-1042", 2, 8, 3, 59),
      scanned(code_128, "LOT2009-05-A17", 2, 11, 30, 0),
      scanned(ean_8, "96385074", 2, 15, 7, 31),
      scanned(ean_13, "9780306406157", 3, 10, 0, 12),
      scanned(interleaved_2_of_5, "0012345678", 3, 10, 1, 40),
      scanned(upc_a, "012345678905", 3, 17, 59, 58),
      scanned(code_128, "SN 0042-7781", 4, 0, 0, 5),
      scanned(code_39, "PART 7731-B", 4, 12, 0, 0),
      scanned(ean_13, "7622210449283", 4, 16, 19, 47),
  };
  return device;
}

}  // namespace vkd::sim
