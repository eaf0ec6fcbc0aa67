#include "conversations/read_clock_and_version.h"

#include "automation/mask.h"

namespace vkd {

namespace {

// A seconds byte of 255 turns the flag to "L" and reads as 00 seconds.
constexpr std::uint8_t flag_l_seconds = 255;

// The clock text holds digits only: two per field.
int two_digits(const Text& clock_text, std::size_t position) {
  return (clock_text[position] - u'0') * 10 + (clock_text[position + 1] - u'0');
}

ClockBytes read_clock_and_release(OpenPort& port) {
  ClockBytes clock{};
  port.wake_up();
  port.library().csp2GetTime(clock.data());
  port.power_down();
  port.release();
  return clock;
}

}  // namespace

ClockReading decode_clock(const ClockBytes& bytes) {
  ClockReading reading;
  reading.bytes = bytes;
  reading.text.reserve(2 * bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i == 0 && bytes[i] == flag_l_seconds) {
      reading.flag = u'L';
      reading.text += u"00";
    } else {
      // 100 and above keep their first two digits: 255 gives "25".
      reading.text += zero_filled(bytes[i], 2).substr(0, 2);
    }
  }
  // Two digits each from position 0: seconds, minutes, hours, day, month, year.
  const Text& text = reading.text;
  const Date day = date_serial(two_digits(text, 10), two_digits(text, 8), two_digits(text, 6));
  reading.date = add_duration(day, two_digits(text, 4), two_digits(text, 2), two_digits(text, 0));
  return reading;
}

bool ClockReading::in_range() const {
  const auto [second, minute, hour, day, month, year] = bytes;
  const bool second_read = second <= 59 || second == flag_l_seconds;
  return second_read && minute <= 59 && hour <= 23 && month >= 1 && month <= 12 && year <= 99 &&
         day >= 1 && day <= days_in_month(window_two_digit_year(year), month);
}

ClockAndVersion read_clock_and_version(OpenPort port, Host& host, ClockObserver& observer) {
  settling_pause(host);
  Library& library = port.library();
  ClockAndVersion read;
  read.clock = decode_clock(read_clock_and_release(port));
  observer.clock_read(read.clock);
  library.csp2GetSwVersion(read.version.data(), csp2a::version_size);
  observer.version_read(read.version);
  return read;
}

}  // namespace vkd
