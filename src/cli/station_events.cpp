#include "cli/station_events.h"

#include "cli/clock_text.h"

namespace vkd::cli {

void StationEvents::event(const std::string& text) {
  const std::string status = status_;
  clear_status();
  err_ << iso_8601_of_now() << ' ' << text << '\n' << std::flush;
  if (!status.empty()) this->status(status);
}

void StationEvents::status(const std::string& text) {
  if (!terminal_ || text == status_) return;
  clear_status();
  err_ << text << std::flush;
  status_ = text;
}

void StationEvents::clear_status() {
  if (status_.empty()) return;
  err_ << '\r' << std::string(status_.size(), ' ') << '\r' << std::flush;
  status_.clear();
}

}  // namespace vkd::cli
