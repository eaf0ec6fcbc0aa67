#pragma once
// Setting the scanner clock from a date-time text of six two-digit fields: second,
// minute, hour, day, month, year within its century ("595923311299" is 23:59:59 on
// 31 December of year 99).
#include <cstdint>
#include <vector>

#include "automation/text.h"
#include "conversations/open_port.h"

namespace vkd {

struct ClockSetting {
  Text date_time;                     // as given
  bool valid = false;                 // it passed the checks and was sent
  std::vector<std::int32_t> answers;  // csp2SetTime's answer at each attempt
  bool taken() const { return !answers.empty() && answers.back() == 0; }
  friend bool operator==(const ClockSetting&, const ClockSetting&) = default;
};

class ClockSettingObserver {
 public:
  virtual ~ClockSettingObserver() = default;
  virtual void clock_setting_started() {}
  virtual void clock_text_checked(const Text&) {}  // it passed, and is about to be sent
  virtual void clock_answered(std::int32_t, int) {}  // csp2SetTime's answer at attempt k, from 1
  virtual void clock_taken() {}
};

// Checks the text; when it names a real date and time, sends it with up to `attempts`
// attempts, each woken and powered down, until the scanner accepts one. A text that
// fails the checks is not sent. Runs on a port the caller has opened and releases nothing.
ClockSetting set_clicker_time(OpenPort& port, const Text& date_time, std::int16_t attempts,
                              ClockSettingObserver& observer);

// The checks take two-character pieces; a piece that is not exactly two decimal digits
// fails them. The year is 00-99 and its leap rule is applied to that number itself, so
// 00 is a leap year.
bool valid_date(const Text& year, const Text& month, const Text& day);
// Hour 24 passes.
bool valid_time(const Text& hour, const Text& minute, const Text& second);

}  // namespace vkd
