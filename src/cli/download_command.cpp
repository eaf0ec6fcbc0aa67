#include "cli/download_command.h"

#include <algorithm>

#include "cli/csv_output.h"
#include "cli/download_report.h"
#include "cli/json_output.h"

namespace vkd::cli {

namespace {

constexpr char csv_default_separator[] = ",";

// v03 and v01 are the component's own texts, which read the scanner themselves; the other
// forms are built from the records afterwards.
std::string component_text(Clicker& clicker, const Invocation& invocation) {
  switch (invocation.format) {
    case Format::v03:
      clicker.let_pdelimiter(from_utf8(invocation.delimiter.value_or("")));
      return to_utf8(clicker.alldata2()) + "\n";
    case Format::v01:
      return to_utf8(clicker.alldata()) + "\n";
    default:
      clicker.open_clicker();
      return {};
  }
}

std::string formatted(const DownloadReport& report, const std::string& text,
                      const Invocation& invocation, bool continuing) {
  switch (invocation.format) {
    case Format::csv:
      return csv_output(report, invocation.delimiter.value_or(csv_default_separator), !continuing);
    case Format::json:
      return json_output(report);
    case Format::jsonl:
      return jsonl_output(report);
    default:
      return text;
  }
}

// Searches, and with --wait searches again every few seconds until the scanner answers or
// the time is up. The host's waits let a terminal show that the command is waiting.
std::string search_and_read(Clicker& clicker, Host& host, const Invocation& invocation) {
  const auto deadline =
      host.monotonic_time() + std::chrono::seconds(invocation.wait_seconds.value_or(0));
  for (;;) {
    std::string text = component_text(clicker, invocation);
    auto now = host.monotonic_time();
    if (clicker.open_ok() || now >= deadline) return text;
    const auto next_search = std::min<std::chrono::nanoseconds>(now + search_interval, deadline);
    while (now < next_search) {
      host.wait_briefly();
      now = host.monotonic_time();
    }
  }
}

std::string no_scanner(const Invocation& invocation) {
  if (!invocation.wait_seconds) return "clicker: no scanner answered on any port\n";
  return "clicker: no scanner answered within " + std::to_string(*invocation.wait_seconds) +
         " seconds\n";
}

// Empties the scanner on the port where it answered, which need not be the one the search
// started from. The emptying opens the port anew: a barcode scanned in between is erased
// with the rest, and the count the emptying read before erasing tells of it.
void empty_after_download(Clicker& clicker, const Invocation& invocation, int downloaded,
                          Outcome& outcome) {
  const std::int16_t port = clicker.comport();
  if (invocation.log) outcome.complaint += to_utf8(clicker.log()) + "\n";
  clicker.let_lastport(Variant(std::int32_t{port}));
  const EmptyingReport report = empty_scanner(clicker, invocation.set_clock, port, "emptied");
  std::string problems = report.complaint;
  if (clicker.open_ok() && clicker.num_barcodes() > downloaded) {
    problems += "clicker: the scanner held " + std::to_string(clicker.num_barcodes()) +
                " records when it was emptied, " + std::to_string(downloaded) +
                " when it was read: those scanned in between are lost\n";
  }
  outcome.complaint += (report.lines.empty() ? "emptied: no\n" : report.lines) + problems;
  if (!problems.empty()) outcome.exit_code = exit_not_done;
}

}  // namespace

Outcome download(Clicker& clicker, Host& host, const Invocation& invocation) {
  std::string text = search_and_read(clicker, host, invocation);
  // Without a scanner the exports still format whatever the object holds: nothing there
  // is worth printing.
  if (!clicker.open_ok()) return Outcome::ending(exit_not_done, no_scanner(invocation));
  DownloadReport report = download_report(clicker);
  Outcome outcome;
  outcome.answered_port = clicker.comport();
  outcome.output = [report, text = std::move(text), &invocation](bool continuing) {
    return formatted(report, text, invocation, continuing);
  };
  const auto read = report.records.size();
  if (read < static_cast<std::size_t>(report.count)) {
    outcome.exit_code = exit_not_done;
    outcome.complaint = "clicker: read " + std::to_string(read) + " of " +
                        std::to_string(report.count) +
                        " records: the scanner stopped answering" +
                        (invocation.empty_after ? "; it was not emptied\n" : "\n");
  }
  if (invocation.empty_after) {
    outcome.after_delivery = [&clicker, &invocation, count = report.count](Outcome& done) {
      empty_after_download(clicker, invocation, count, done);
    };
  }
  return outcome;
}

}  // namespace vkd::cli
