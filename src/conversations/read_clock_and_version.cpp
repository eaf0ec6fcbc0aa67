#include "conversations/read_clock_and_version.h"

#include <array>
#include <cstdint>
#include <span>

#include "automation/mask.h"
#include "automation/text.h"

namespace vkd {

namespace {

// The clock bytes in the library's order: seconds, minutes, hours, day, month, year.
using ClockBytes = std::array<std::uint8_t, csp2a::clock_size>;

// A seconds byte of 255 turns clock_flag to "L" and reads as 00 seconds.
constexpr std::uint8_t flag_l_seconds = 255;
constexpr std::size_t version_length = 8;

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

void read_version(ClickerState& state, Library& library) {
  std::array<std::uint8_t, csp2a::version_size> version{};
  library.csp2GetSwVersion(version.data(), csp2a::version_size);
  // All 8 characters, NULs after a shorter text included.
  state.SwVersion = text_from_bytes(std::span(version).first(version_length));
}

void decode_clock(ClickerState& state, const ClockBytes& clock) {
  char16_t flag = u'H';
  Text text;
  text.reserve(2 * clock.size());
  for (std::size_t i = 0; i < clock.size(); ++i) {
    if (i == 0 && clock[i] == flag_l_seconds) {
      flag = u'L';
      text += u"00";
    } else {
      // 100 and above keep their first two digits: 255 gives "25".
      text += zero_filled(clock[i], 2).substr(0, 2);
    }
  }
  state.clock_flag = Text(1, flag);
  state.clock_text = text;
  // Two digits each from position 0: seconds, minutes, hours, day, month, year.
  const Date day = date_serial(two_digits(text, 10), two_digits(text, 8), two_digits(text, 6));
  state.clock_date =
      add_duration(day, two_digits(text, 4), two_digits(text, 2), two_digits(text, 0));
}

}  // namespace

void read_clock_and_version(ClickerState& state, OpenPort port, Host& host) {
  // The host may call into the object during the pause: only the state object itself is
  // used after it, never anything inside it taken before.
  settling_pause(host);
  Library& library = port.library();
  decode_clock(state, read_clock_and_release(port));
  read_version(state, library);
}

}  // namespace vkd
