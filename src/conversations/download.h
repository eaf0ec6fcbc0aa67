#pragma once
// The whole download: the port search, the device identifier, every stored record, the
// settling pause, the clock, the release of the port and the version.
#include <array>
#include <cstdint>
#include <vector>

#include "automation/host.h"
#include "conversations/download_records.h"
#include "conversations/read_clock_and_version.h"
#include "conversations/search_ports.h"
#include "csp2a/library.h"

namespace vkd {

// The device-identifier buffer: the 8 identifier bytes and the library's NUL.
using Identifier = std::array<std::uint8_t, csp2a::device_id_size>;

struct Download {
  Connection connection;
  // The rest is read only when a port answered.
  Identifier identifier{};
  std::int16_t count = 0;  // the count the scanner reported
  std::vector<DownloadedRecord> records;
  ClockReading clock;
  VersionBytes version{};

  bool answered() const { return connection.answered() != nullptr; }
  // Every record the scanner reported came whole.
  bool complete() const;
};

class DownloadObserver : public SearchObserver, public RecordObserver, public ClockObserver {
 public:
  virtual void identifier_read(const Identifier&) {}
};

// Scanner failures show only in the result (and to the observer). A run-time error ends
// the call at once; a port it found is released first.
Download download(Library& library, Host& host, PortRange ports, DownloadObserver& observer);

}  // namespace vkd
