#include "cli/scanner_session.h"

#include "cli/clock_text.h"
#include "cli/platform.h"
#include "cli/state_file.h"

namespace vkd::cli {

void ScannerSession::complain(int code, const std::string& message) {
  messages += message;
  if (exit_code != exit_failure) exit_code = code;
}

void ScannerSession::failed(const Error& error) {
  std::string complaint = "clicker: error " + std::to_string(error.number()) + ": " + to_utf8(error.description()) + "\n";
  if (error.code() == ErrorNumber::overflow) {
    complaint += "clicker: " + overflow_cause + "\n";
  } else if (error.code() == ErrorNumber::file_not_found) {
    complaint += "clicker: " + library_search_text() + "\n";
  }
  complain(exit_failure, complaint);
}

void ScannerSession::remember(std::int16_t answered) const {
  if (environment.state_file) remember_port(*environment.state_file, answered, environment.err);
}

Text ScannerSession::clock_text() const {
  if (!invocation.set_clock) return Text();
  return from_utf8(*invocation.set_clock == "now" ? clock_text_of_now() : *invocation.set_clock);
}

std::string did_not_answer(std::int16_t port) {
  return "clicker: the scanner did not answer on port " + std::to_string(port) + "\n";
}

}  // namespace vkd::cli
