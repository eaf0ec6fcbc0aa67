#pragma once
// A scanner answering from memory for the benchmarks: the simulated scanner, holding any
// number of records, served as the library would serve it, with nothing recorded and
// nothing waited for.
#include <cstdint>
#include <string>

#include "component/clicker.h"
#include "fake_host.h"
#include "fake_library.h"
#include "sim/device.h"
#include "sim/time_stamp.h"

namespace vkd::testing {

// Every record: a 12-digit barcode, code type 28, a time stamp that varies with the
// record, so that no two decode alike.
inline sim::Device scanner_with(std::int32_t records) {
  sim::Device device;
  device.barcodes.reserve(static_cast<std::size_t>(records));
  for (std::int32_t record = 0; record < records; ++record) {
    std::string barcode = "575313010509";
    barcode.back() = static_cast<char>('0' + record % 10);
    const sim::StampFields when{.second = 15, .minute = 30 + record % 10, .hour = 14,
                                .day = 17, .month = 1 + record % 9, .year = 7};
    device.barcodes.push_back({28, std::move(barcode), sim::pack(when)});
  }
  return device;
}

// A Clicker on such a scanner.
struct ScannerBench {
  explicit ScannerBench(std::int32_t count) : records(count) {}
  ScannerBench(const ScannerBench&) = delete;
  ScannerBench& operator=(const ScannerBench&) = delete;

  // After the runs: whether the last one found the scanner and all its records.
  bool downloaded_all() const { return clicker.open_ok() && clicker.num_barcodes() == records; }

  const std::int32_t records;
  FakeLibrary library{scanner_with(records), FakeLibrary::Recording::off};
  InstantHost host;
  Clicker clicker{library, host};
};

}  // namespace vkd::testing
