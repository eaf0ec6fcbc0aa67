#pragma once
// A Clicker on the fake library and host, with a scanner that can be placed on a port
// and given records, time-stamp texts, a clock and a version.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "automation/date.h"
#include "automation/error.h"
#include "component/clicker.h"
#include "component/clicker_fields.h"
#include "component/field_writer.h"
#include "conversations/download.h"
#include "fake_host.h"
#include "fake_library.h"
#include "record_lists.h"
#include "sim/device.h"
#include "sim/record.h"

namespace vkd::testing {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

template <class T>
std::vector<T> operator+(std::vector<T> first, const std::vector<T>& second) {
  first.insert(first.end(), second.begin(), second.end());
  return first;
}

inline const Bytes any_stamp = {0x11, 0x22, 0x33, 0x44};

// A record as the library places it in the packet.
inline Bytes record(std::uint8_t type, std::string_view barcode, const Bytes& stamp = any_stamp) {
  sim::TimeStamp stamp_bytes{};
  std::copy_n(stamp.begin(), stamp_bytes.size(), stamp_bytes.begin());
  return sim::record_bytes({type, std::string(barcode), stamp_bytes});
}

// "2007-05-17 14:30:15", to compare dates readably.
inline std::string when(Date date) {
  const DateParts p = date_parts(date);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", p.year, p.month, p.day, p.hour,
                p.minute, p.second);
  return text;
}

inline std::int32_t seconds_of_day(int hours, int minutes, int seconds) {
  return hours * 3600 + minutes * 60 + seconds;
}

class OpenClickerTest : public ::testing::Test {
 protected:
  // The scanner answers on `port` only and reports `count` barcodes.
  void scanner_on(std::int32_t port, std::int32_t count = 0) {
    library.change_device([port](sim::Device& device) { device.port = port; });
    library.script_all(Function::csp2ReadData, {count, {}});
  }

  // One packet per record number, in order; a record number past them answers -1.
  void packets(std::vector<Bytes> records) {
    library.handle(Function::csp2GetPacket,
                   [records = std::move(records)](std::span<std::uint8_t> packet,
                                                  std::span<const std::int32_t> numbers) {
                     const auto index = static_cast<std::size_t>(numbers[0]);
                     if (index >= records.size()) return -1;
                     std::copy(records[index].begin(), records[index].end(), packet.begin());
                     return 0;
                   });
  }

  // What csp2TimeStamp2Str writes at its 1st, 2nd, ... call: the bytes given, nothing more.
  void stamp_texts(const std::vector<std::string>& texts) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
      library.script(Function::csp2TimeStamp2Str, static_cast<int>(i) + 1, {0, bytes_of(texts[i])});
    }
  }

  // The scanner's clock bytes, and its version bytes (NULs after them).
  void clock(const Bytes& bytes) {
    library.change_device([&bytes](sim::Device& device) {
      std::copy_n(bytes.begin(), std::min(bytes.size(), device.clock.size()), device.clock.begin());
    });
  }
  void version(const Bytes& bytes) {
    library.change_device([&bytes](sim::Device& device) {
      device.version = {};
      std::copy_n(bytes.begin(), std::min(bytes.size(), device.version.size()), device.version.begin());
    });
  }

  std::vector<std::int32_t> ports_tried() const {
    std::vector<std::int32_t> ports;
    for (const Call& call : library.calls()) {
      if (call.function == Function::csp2Init) ports.push_back(call.numbers[0]);
    }
    return ports;
  }

  std::vector<const Call*> calls_of(Function function) const {
    std::vector<const Call*> found;
    for (const Call& call : library.calls()) {
      if (call.function == function) found.push_back(&call);
    }
    return found;
  }

  // The download behind open_clicker, with object fields of the test's own following it:
  // for what only the fields show (the clock's texts before an export reads them), and for
  // a host that changes them during the pause.
  void download_into(ClickerFields& fields, std::int64_t first_port = 0) {
    FieldWriter writer(fields);
    download(library, host, PortRange{.first = first_port}, writer);
  }

  // Runs open_clicker, which must fail, and gives its error number.
  std::int32_t open_error_number() {
    try {
      clicker.open_clicker();
    } catch (const Error& error) {
      return error.number();
    }
    ADD_FAILURE() << "open_clicker succeeded";
    return 0;
  }

  // The record lists as a host walks them (record_lists.h).
  std::vector<Text> texts() { return barcode_texts(clicker); }
  std::vector<Variant> types() { return barcode_types(clicker); }
  std::vector<Date> times() { return barcode_times(clicker); }
  bool lists_allocated() { return !texts().empty(); }

  FakeLibrary library;
  FakeHost host;
  Clicker clicker{library, host};
};

}  // namespace vkd::testing
