#include "cli/scanner_commands.h"

#include <vector>

#include "automation/mask.h"
#include "cli/output_destination.h"
#include "component/connection_log.h"
#include "component/parameter_texts.h"
#include "conversations/empty_scanner.h"
#include "conversations/reset_parameters.h"
#include "conversations/show_parameters.h"

namespace vkd::cli {

namespace {

std::string yes_no(bool value) { return value ? "yes" : "no"; }

std::string answered_with_failure(const PortAttempt& opening) {
  return "clicker: the scanner on port " + std::to_string(opening.port) + " answered with a failure: status " +
         std::to_string(*opening.status) + ", count " + std::to_string(*opening.count) + "\n";
}

void print(ScannerSession& session, const std::string& text) {
  if (const auto failure = write_to_stream(session.environment.out, text)) {
    session.complain(exit_failure, "clicker: cannot write output: " + *failure + "\n");
  }
}

// "name=value", the value of a status item the library did not give as its placeholder.
std::string item(std::string_view name, const std::optional<std::int32_t>& value) {
  return std::string(name) + "=" + to_utf8(value ? hex_0x(*value) : Text(u"0x????")) + "\n";
}

std::string named_lines(const ParameterReadout& readout) {
  std::string lines;
  for (const ParameterValue& value : readout.values) {
    if (value.answered()) lines += std::to_string(value.number) + "=" + std::to_string(value.value) + "\n";
  }
  std::string version = to_utf8(text_from_bytes(readout.status.version));
  version.erase(version.find_last_not_of('\0') + 1);
  return lines + item("protocol", readout.status.protocol) + item("status", readout.status.system_status) +
         "version=" + version + "\n" + item("ascii_mode", readout.status.ascii_mode) +
         item("rtc_mode", readout.status.rtc_mode);
}

}  // namespace

void empty_command(ScannerSession& session) {
  const std::int16_t port = *session.port;
  ConnectionLog observer(session.new_log());
  const Emptying emptying = empty_scanner(session.library(), session.host, port, session.clock_text(), observer);
  session.host.finish();
  if (!emptying.opening.opened()) return session.complain(exit_not_done, did_not_answer(port));
  if (!emptying.answered()) return session.complain(exit_not_done, answered_with_failure(emptying.opening));
  std::string lines = "empty: " + yes_no(emptying.confirmed()) + "\n";
  if (emptying.clock) lines += "clock set: " + yes_no(emptying.clock->taken()) + "\n";
  print(session, lines);
  session.remember(port);
  if (!emptying.confirmed()) session.complain(exit_not_done, "clicker: the scanner was not emptied\n");
  if (emptying.clock && !emptying.clock->taken()) session.complain(exit_not_done, "clicker: the scanner refused the clock\n");
}

// A scanner that does not answer leaves every value as the library's untouched buffer:
// printing them as values would pass a guess off as a reading.
void params_show_command(ScannerSession& session) {
  const std::int16_t port = *session.port;
  const std::vector<std::int16_t> numbers(session.invocation.parameters.begin(), session.invocation.parameters.end());
  const ParameterReadout readout = show_parameters(session.library(), session.host, port, numbers);
  session.host.finish();
  if (!readout.answered()) return session.complain(exit_not_done, did_not_answer(port));
  print(session, session.invocation.format == Format::raw ? to_utf8(showparams_text(readout)) + "\n" : named_lines(readout));
  session.remember(port);
  for (const ParameterValue& value : readout.values) {
    if (!value.answered()) {
      session.complain(exit_not_done, "clicker: the scanner gave no value for parameter " + std::to_string(value.number) + "\n");
    }
  }
}

// The scanner is emptied before the parameters are written, and the defaults and the
// parameters are sent whatever the emptying found, as the component's own reset does.
void params_reset_command(ScannerSession& session) {
  const std::int16_t port = *session.port;
  std::vector<vkd::ParameterSetting> settings;
  for (const auto& [number, value] : session.invocation.settings) {
    settings.push_back({static_cast<std::int16_t>(number), value});
  }
  ConnectionLog observer(session.new_log());
  const ParameterReset reset = reset_parameters(session.library(), session.host, port, settings, observer);
  session.host.finish();
  const std::string sent_anyway = "; the defaults and parameters were sent all the same\n";
  if (!reset.emptying.answered()) {
    return session.complain(exit_not_done, "clicker: the scanner did not answer on port " + std::to_string(port) +
                                               " when it was to be emptied" + sent_anyway);
  }
  session.remember(port);
  if (!reset.emptying.confirmed()) session.complain(exit_not_done, "clicker: the scanner was not emptied" + sent_anyway);
  for (const ParameterWrite& write : reset.writes) {
    if (!write.answered()) {
      session.complain(exit_not_done, "clicker: the scanner did not take parameter " + std::to_string(write.number) + "\n");
    }
  }
}

}  // namespace vkd::cli
