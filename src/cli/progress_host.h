#pragma once
// A host that shows, on one line of a terminal, that the command is waiting for the
// scanner: a parameter read pauses one to two seconds per parameter, and a silent
// terminal looks hung.
#include <chrono>
#include <ostream>

#include "automation/host.h"

namespace vkd::cli {

class ProgressHost final : public Host {
 public:
  // Draws on `terminal` only when `shown` (the stream is a terminal, not a file or pipe).
  ProgressHost(Host& inner, std::ostream& terminal, bool shown)
      : inner_(inner), terminal_(terminal), shown_(shown) {}
  ~ProgressHost() override { finish(); }
  ProgressHost(const ProgressHost&) = delete;
  ProgressHost& operator=(const ProgressHost&) = delete;

  std::int32_t local_seconds_of_day() override { return inner_.local_seconds_of_day(); }
  std::chrono::nanoseconds monotonic_time() override { return inner_.monotonic_time(); }
  void run_pending_events() override { inner_.run_pending_events(); }
  void wait_briefly() override;

  // Clears the indicator line, so that what is printed next starts on a clean line.
  void finish();

 private:
  void draw(std::chrono::nanoseconds waited);

  Host& inner_;
  std::ostream& terminal_;
  bool shown_;
  bool drawn_ = false;
  std::chrono::nanoseconds first_wait_{};
  std::chrono::nanoseconds last_draw_{};
  int frame_ = 0;
  std::size_t line_length_ = 0;
};

}  // namespace vkd::cli
