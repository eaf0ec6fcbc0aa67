#include "cli/progress_host.h"

#include <string>

namespace vkd::cli {

namespace {

constexpr std::chrono::milliseconds redraw_interval{100};
constexpr char spinner[] = {'|', '/', '-', '\\'};

}  // namespace

void ProgressHost::wait_briefly() {
  inner_.wait_briefly();
  if (!shown_) return;
  const auto now = inner_.monotonic_time();
  if (!drawn_) {
    first_wait_ = now;
  } else if (now - last_draw_ < redraw_interval) {
    return;
  }
  last_draw_ = now;
  draw(now - first_wait_);
}

void ProgressHost::draw(std::chrono::nanoseconds waited) {
  const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(waited).count();
  const std::string line = std::string("clicker: waiting for the scanner ") + spinner[frame_] +
                           " " + std::to_string(seconds) + " s";
  frame_ = (frame_ + 1) % static_cast<int>(sizeof spinner);
  terminal_ << '\r' << line << std::flush;
  line_length_ = line.size();
  drawn_ = true;
}

void ProgressHost::finish() {
  if (!drawn_) return;
  terminal_ << '\r' << std::string(line_length_, ' ') << '\r' << std::flush;
  drawn_ = false;
}

}  // namespace vkd::cli
