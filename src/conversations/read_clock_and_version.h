#pragma once
// The last phase of a download: after the settling pause, the scanner's clock read inside
// a wake/sleep bracket, the release of the port, then the software version.
#include <array>
#include <cstdint>

#include "automation/date.h"
#include "automation/host.h"
#include "automation/text.h"
#include "conversations/open_port.h"

namespace vkd {

// In the library's order: seconds, minutes, hours, day, month, year within the century.
using ClockBytes = std::array<std::uint8_t, csp2a::clock_size>;
using VersionBytes = std::array<std::uint8_t, csp2a::version_size>;

struct ClockReading {
  ClockBytes bytes{};
  // "H", or "L" when the seconds byte was 255 (the seconds then read 00).
  char16_t flag = u'H';
  // Two digits per field, seconds first; a byte of 100 or more keeps its first two digits.
  Text text;
  // The fields as a date, a time of day out of range carried the way the date carries:
  // hour 24 is midnight of the next day, minutes or seconds above 59 run into the next unit.
  Date date;

  // Whether the bytes name a real date and time (an "L" clock's seconds counting as 00),
  // so that `date` is the clock's reading and not a carried one.
  bool in_range() const;
  friend bool operator==(const ClockReading&, const ClockReading&) = default;
};

ClockReading decode_clock(const ClockBytes& bytes);

class ClockObserver {
 public:
  virtual ~ClockObserver() = default;
  virtual void clock_read(const ClockReading&) {}
  virtual void version_read(const VersionBytes&) {}
};

struct ClockAndVersion {
  ClockReading clock;
  VersionBytes version{};
};

// Waits the settling pause (the host's events run meanwhile, and may call into whoever
// observes), reads the clock, sends the scanner back to sleep and releases the port; then
// reads the version. Nothing taken before the pause is used after it.
ClockAndVersion read_clock_and_version(OpenPort port, Host& host, ClockObserver& observer);

}  // namespace vkd
