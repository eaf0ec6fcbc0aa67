#pragma once
// The host services of a Windows thread with a message queue: the local clock, a
// monotonic clock, and a wait that keeps the thread's windows and script events alive.
#include "automation/host.h"

namespace vkd::com {

class WindowsHost final : public Host {
 public:
  std::int32_t local_seconds_of_day() override;
  std::chrono::nanoseconds monotonic_time() override;
  // Dispatches the messages waiting in the thread's queue, as the host's own loop would.
  // A WM_QUIT is not the pause's to take: it goes back to the queue for that loop.
  void run_pending_events() override;
  // Sleeps until a message arrives or about 10 ms have passed, using no processor time
  // meanwhile; while a WM_QUIT waits, it just sleeps the 10 ms.
  void wait_briefly() override;
};

}  // namespace vkd::com
