#include "cli/scanner_commands.h"

#include "cli/clock_text.h"
#include "cli/csv_output.h"
#include "cli/download_report.h"
#include "cli/json_output.h"
#include "cli/parameter_lists.h"

namespace vkd::cli {

namespace {

constexpr char csv_default_separator = ',';

std::string did_not_answer(std::int16_t port) {
  return "clicker: the scanner did not answer on port " + std::to_string(port) + "\n";
}

std::string downloaded_text(Clicker& clicker, const Invocation& invocation) {
  switch (invocation.format) {
    case Format::v03:
      clicker.let_pdelimiter(from_utf8(invocation.delimiter.value_or("")));
      return to_utf8(clicker.alldata2()) + "\n";
    case Format::v01:
      return to_utf8(clicker.alldata()) + "\n";
    case Format::csv:
      clicker.open_clicker();
      return csv_output(download_report(clicker), invocation.delimiter
                                                      ? invocation.delimiter->front()
                                                      : csv_default_separator);
    case Format::json:
      clicker.open_clicker();
      return json_output(download_report(clicker));
  }
  return {};
}

}  // namespace

Outcome download(Clicker& clicker, const Invocation& invocation) {
  std::string text = downloaded_text(clicker, invocation);
  // Without a scanner the exports still format whatever the object holds: nothing there
  // is worth printing.
  if (!clicker.open_ok())
    return Outcome::ending(exit_not_done, "clicker: no scanner answered on any port\n");
  return Outcome::printing(std::move(text), clicker.comport());
}

Outcome empty(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  if (invocation.set_clock) {
    clicker.let_pnewdatetime(
        from_utf8(*invocation.set_clock == "now" ? clock_text_of_now() : *invocation.set_clock));
  }
  clicker.EmptyScanner();
  if (!clicker.open_ok()) return Outcome::ending(exit_not_done, did_not_answer(port));
  Outcome outcome =
      Outcome::printing(std::string("empty: ") + (clicker.empty_ok() ? "yes" : "no") + "\n", port);
  if (invocation.set_clock)
    outcome.output += std::string("clock set: ") + (clicker.timechange_ok() ? "yes" : "no") + "\n";
  if (!clicker.empty_ok()) outcome.complaint += "clicker: the scanner was not emptied\n";
  if (invocation.set_clock && !clicker.timechange_ok())
    outcome.complaint += "clicker: the scanner refused the clock\n";
  if (!outcome.complaint.empty()) outcome.exit_code = exit_not_done;
  return outcome;
}

Outcome params_show(Clicker& clicker, const Invocation& invocation) {
  clicker.let_cur_clicker_params(Variant(show_list(invocation.parameters)));
  return Outcome::printing(to_utf8(clicker.showparams()) + "\n");
}

// The object empties the scanner before it writes parameters, and does not say whether
// the writes arrived: only the emptying tells whether the scanner was there at all.
Outcome params_reset(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  clicker.let_newparams(Variant(reset_list(invocation.settings)));
  clicker.reset_params();
  if (!clicker.open_ok()) {
    return Outcome::ending(
        exit_ok, "clicker: warning: the scanner did not answer on port " + std::to_string(port) +
                     " when it was to be emptied; the parameters were sent all the same\n");
  }
  return Outcome::printing("", port);
}

}  // namespace vkd::cli
