#pragma once
// What an operation needs from the process that hosts the component while it waits for
// the scanner: the local clock, a monotonic clock, and a turn for the host's own events.
#include <chrono>
#include <cstdint>

namespace vkd {

class Host {
 public:
  virtual ~Host() = default;

  // Local time of day in whole seconds since midnight (0-86399).
  virtual std::int32_t local_seconds_of_day() = 0;
  // A clock that never steps back.
  virtual std::chrono::nanoseconds monotonic_time() = 0;
  // Lets the host's pending events (window messages, script events) run on this thread.
  // They may call back into the object that is waiting.
  virtual void run_pending_events() = 0;
  // Blocks briefly, without spinning, until a short time has passed or the host has an
  // event to run.
  virtual void wait_briefly() = 0;
};

// The settling pause the scanner needs between conversations: it ends at the first
// whole-second reading of the local clock two seconds after its first reading (the
// difference, in days, times 100000 reaching 1.5), letting the host's events run in the
// meantime. A local clock that steps back (midnight, the end of summer time, a manual
// change) cannot stall it: two seconds of monotonic time end it too.
void settling_pause(Host& host);

// The host of a process with no message loop: reads the system clocks and sleeps a few
// milliseconds between readings.
class PortableHost final : public Host {
 public:
  std::int32_t local_seconds_of_day() override;
  std::chrono::nanoseconds monotonic_time() override;
  void run_pending_events() override {}
  void wait_briefly() override;
};

}  // namespace vkd
