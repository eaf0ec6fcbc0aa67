#include "cli/scanner_commands.h"

#include "cli/clock_text.h"
#include "cli/parameter_lists.h"
#include "cli/parameter_report.h"

namespace vkd::cli {

namespace {

std::string did_not_answer(std::int16_t port) {
  return "clicker: the scanner did not answer on port " + std::to_string(port) + "\n";
}

std::string yes_no(bool value) { return value ? "yes" : "no"; }

}  // namespace

EmptyingReport empty_scanner(Clicker& clicker, const std::optional<std::string>& set_clock,
                             std::int16_t port, const std::string& emptied_word) {
  if (set_clock)
    clicker.let_pnewdatetime(from_utf8(*set_clock == "now" ? clock_text_of_now() : *set_clock));
  clicker.EmptyScanner();
  if (!clicker.open_ok()) return {{}, did_not_answer(port)};
  EmptyingReport report{emptied_word + ": " + yes_no(clicker.empty_ok()) + "\n", {}};
  if (set_clock) report.lines += "clock set: " + yes_no(clicker.timechange_ok()) + "\n";
  if (!clicker.empty_ok()) report.complaint += "clicker: the scanner was not emptied\n";
  if (set_clock && !clicker.timechange_ok())
    report.complaint += "clicker: the scanner refused the clock\n";
  return report;
}

Outcome empty(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  EmptyingReport report = empty_scanner(clicker, invocation.set_clock, port, "empty");
  if (!clicker.open_ok()) return Outcome::ending(exit_not_done, std::move(report.complaint));
  Outcome outcome = Outcome::printing(std::move(report.lines), port);
  outcome.complaint = std::move(report.complaint);
  if (!outcome.complaint.empty()) outcome.exit_code = exit_not_done;
  return outcome;
}

// A scanner that does not answer leaves every value "00": printing them as values would
// pass a guess off as a reading.
Outcome params_show(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  clicker.let_cur_clicker_params(Variant(show_list(invocation.parameters)));
  const Text text = clicker.showparams();
  if (!scanner_answered(text)) return Outcome::ending(exit_not_done, did_not_answer(port));
  std::optional<std::string> lines;
  if (invocation.format == Format::named) lines = named_parameter_lines(text, invocation.parameters);
  return Outcome::printing(lines.value_or(to_utf8(text) + "\n"), port);
}

// The object empties the scanner before it writes parameters, and does not say whether
// the writes arrived: only the emptying tells whether the scanner was there at all.
Outcome params_reset(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  clicker.let_newparams(Variant(reset_list(invocation.settings)));
  clicker.reset_params();
  const std::string sent_anyway = "; the defaults and parameters were sent all the same\n";
  if (!clicker.open_ok()) {
    return Outcome::ending(exit_not_done, "clicker: the scanner did not answer on port " +
                                              std::to_string(port) +
                                              " when it was to be emptied" + sent_anyway);
  }
  if (!clicker.empty_ok())
    return {exit_not_done, {}, "clicker: the scanner was not emptied" + sent_anyway, port, {}};
  return Outcome::printing("", port);
}

}  // namespace vkd::cli
