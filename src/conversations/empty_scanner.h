#pragma once
// Emptying the scanner on one port: open, check, optionally set the clock, settle, erase
// with a few attempts, release. Scanner failures show in the result, never as errors.
#include <cstdint>
#include <optional>
#include <vector>

#include "automation/host.h"
#include "automation/text.h"
#include "conversations/open_port.h"
#include "conversations/set_clicker_time.h"
#include "csp2a/library.h"

namespace vkd {

// One clear command, and when it was refused the count and status checked after it.
struct ClearAttempt {
  std::int32_t result = 0;
  std::optional<std::int16_t> count;
  std::optional<std::int32_t> status;
  // Confirmed empty: the command answered 0, or the scanner reported status 0 and no records.
  bool confirmed = false;
  friend bool operator==(const ClearAttempt&, const ClearAttempt&) = default;
};

// What an emptying reports as it goes, so that the object's fields follow it step by step.
class EmptyingObserver : public ClockSettingObserver {
 public:
  virtual void port_opened(const PortAttempt&) {}    // csp2Init answered, whatever it said
  virtual void port_not_opened(const PortAttempt&) {}
  virtual void records_counted(std::int16_t) {}      // the count, at opening or after a refusal
  virtual void answered_with_failure(const PortAttempt&) {}  // a negative status or count
  virtual void answered(const PortAttempt&) {}
  virtual void clear_answered(const ClearAttempt&) {}  // the command's answer
  virtual void clear_checked(const ClearAttempt&) {}   // the count and status after a refusal
  virtual void clear_confirmed(int) {}                 // at attempt k, from 1
};

struct Emptying {
  PortAttempt opening;
  std::optional<ClockSetting> clock;  // when a date-time text was given
  std::vector<ClearAttempt> clears;

  bool answered() const { return opening.sane(); }
  bool confirmed() const { return !clears.empty() && clears.back().confirmed; }
};

// The whole emptying on `port`; with a non-empty `date_time` the clock is set first.
Emptying empty_scanner(Library& library, Host& host, std::int32_t port, const Text& date_time,
                       EmptyingObserver& observer);

// The steps an emptying and the verified erase share. csp2Init on `port`, told to the
// observer: the port, held when it opened.
std::optional<OpenPort> open_told(Library& library, Host& host, std::int32_t port, PortAttempt& opening,
                                  EmptyingObserver& observer);
// The count and the status on the open port; a scanner that answers with a failure (a
// negative status or count) has its port released, and the check gives false.
bool scanner_answers(OpenPort& port, PortAttempt& opening, EmptyingObserver& observer);

// Sends the clear command up to `attempts` times on an open port, checking the count and
// status after each refusal, until one is confirmed. Neither opens nor releases the port.
std::vector<ClearAttempt> clear_scanner(Library& library, std::int16_t attempts, EmptyingObserver& observer);

// How many times an emptying tries to set the clock and to clear.
inline constexpr std::int16_t clock_attempts = 5;
inline constexpr std::int16_t clear_attempts = 5;

}  // namespace vkd
