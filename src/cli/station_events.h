#pragma once
// What a station says as it works: one line on standard error per event, each with the
// local time it happened, and nothing between events; on a terminal, one status line
// below them that says what it is waiting for.
#include <ostream>
#include <string>

namespace vkd::cli {

class StationEvents {
 public:
  StationEvents(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}
  StationEvents(const StationEvents&) = delete;
  StationEvents& operator=(const StationEvents&) = delete;
  ~StationEvents() { clear_status(); }

  // "2024-05-15T09:30:00 docked: scanner 104A007E2391C50B on port 3, 12 records".
  void event(const std::string& text);
  // The status line, shown on a terminal only and redrawn in place.
  void status(const std::string& text);

 private:
  void clear_status();

  std::ostream& err_;
  bool terminal_;
  std::string status_;
};

}  // namespace vkd::cli
