#pragma once
// A scanner answering from memory for the benchmarks: it holds any number of records and
// serves them as the library would, with nothing recorded and nothing waited for.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <span>
#include <string_view>

#include "component/clicker.h"
#include "fake_host.h"
#include "fake_library.h"

namespace vkd::testing {

// Every record: a 12-digit barcode, code type 28, a time stamp whose text holds a time
// and a date, varying with the record so that no two decode alike.
inline void script_scanner(FakeLibrary& library, std::int32_t records) {
  library.script_all(Function::csp2ReadData, {records, {}});
  library.handle(Function::csp2GetPacket, [](std::span<std::uint8_t> packet, std::span<const std::int32_t> numbers) {
    constexpr std::string_view barcode = "575313010509";
    const std::int32_t record = numbers[0];
    packet[0] = static_cast<std::uint8_t>(barcode.size() + 5);
    packet[1] = 28;
    std::copy(barcode.begin(), barcode.end(), packet.begin() + 2);
    packet[2 + barcode.size() - 1] = static_cast<std::uint8_t>('0' + record % 10);
    std::fill_n(packet.begin() + 2 + static_cast<std::ptrdiff_t>(barcode.size()), 4,
                static_cast<std::uint8_t>(record));
    return 0;
  });
  int stamp = 0;
  library.handle(Function::csp2TimeStamp2Str, [stamp](std::span<std::uint8_t> text, std::span<const std::int32_t>) mutable {
    char written[] = "02:30:15 PM 05/17/07";
    written[7] = static_cast<char>('0' + stamp % 10);
    written[16] = static_cast<char>('1' + stamp % 9);
    ++stamp;
    std::copy(std::begin(written), std::end(written), text.begin());
    return 0;
  });
}

// A Clicker on such a scanner.
struct ScannerBench {
  explicit ScannerBench(std::int32_t count) : records(count) { script_scanner(library, count); }
  ScannerBench(const ScannerBench&) = delete;
  ScannerBench& operator=(const ScannerBench&) = delete;

  // After the runs: whether the last one found the scanner and all its records.
  bool downloaded_all() const { return clicker.open_ok() && clicker.num_barcodes() == records; }

  const std::int32_t records;
  FakeLibrary library{FakeLibrary::Recording::off};
  InstantHost host;
  Clicker clicker{library, host};
};

}  // namespace vkd::testing
