#include "cli/download_command.h"

#include <algorithm>

#include "cli/component_texts.h"
#include "cli/csv_output.h"
#include "cli/json_output.h"
#include "cli/output_destination.h"
#include "component/connection_log.h"
#include "component/delimited_export.h"
#include "conversations/download.h"
#include "conversations/verified_erase.h"

namespace vkd::cli {

namespace {

constexpr std::int64_t highest_port = std::numeric_limits<std::int16_t>::max();
constexpr char csv_default_separator[] = ",";

std::string yes_no(bool value) { return value ? "yes" : "no"; }

// Searches, and with --wait searches again every few seconds until the scanner answers or
// the time is up. The host's waits let a terminal show that the command is waiting. The
// log kept is the last search's.
Download search_and_read(ScannerSession& session) {
  Host& host = session.host;
  const auto deadline = host.monotonic_time() + std::chrono::seconds(session.invocation.wait_seconds.value_or(0));
  Text& log = session.new_log();
  for (;;) {
    log.clear();
    ConnectionLog observer(log);
    Download download = vkd::download(session.library(), host, PortRange{.first = session.port.value_or(0), .highest = highest_port}, observer);
    auto now = host.monotonic_time();
    if (download.answered() || now >= deadline) return download;
    const auto next_search = std::min<std::chrono::nanoseconds>(now + search_interval, deadline);
    while (now < next_search) {
      host.wait_briefly();
      now = host.monotonic_time();
    }
  }
}

std::string no_scanner(const Invocation& invocation, const Connection& connection) {
  std::string message;
  for (const PortAttempt& failed : connection.failed_answers()) {
    message += "clicker: the scanner on port " + std::to_string(failed.port) + " answered with a failure: status " +
               std::to_string(*failed.status) + ", count " + std::to_string(*failed.count) + "\n";
  }
  if (!message.empty()) return message;
  if (!invocation.wait_seconds) return "clicker: no scanner answered on any port\n";
  return "clicker: no scanner answered within " + std::to_string(*invocation.wait_seconds) + " seconds\n";
}

// What kept the download from being complete: the first record that did not come whole.
std::string incompleteness(const Download& download) {
  const std::string of = " of " + std::to_string(download.count) + " records";
  for (const DownloadedRecord& record : download.records) {
    if (record.state == RecordState::not_delivered) {
      return "read " + std::to_string(record.index - 1) + of + ": the scanner stopped answering";
    }
    if (record.state == RecordState::malformed) {
      return "record " + std::to_string(record.index) + of + " came malformed (too short to hold a barcode)";
    }
  }
  return "read " + std::to_string(download.records.size()) + of;
}

// The V03 delimiter: --delimiter, or the component's own when none is given.
Text v03_delimiter(const Invocation& invocation) {
  return Text(delimiter_of(from_utf8(invocation.delimiter.value_or(""))));
}

Data formatted(const Download& download, const Invocation& invocation) {
  return [&download, &invocation](files::Sink& sink, const Continued& continued) {
    switch (invocation.format) {
      case Format::v01:
        return write_fixed_width_text(download, sink);
      case Format::csv: {
        const std::string separator = invocation.delimiter.value_or(csv_default_separator);
        const CsvColumns columns =
            continued.has_content ? columns_of_header(continued.first_line, separator) : CsvColumns::new_file;
        return write_csv(download, separator, columns, sink);
      }
      case Format::json:
        return write_json(download, sink);
      case Format::jsonl:
        return write_json_lines(download, sink);
      default:
        return write_delimited_text(download, v03_delimiter(invocation), sink);
    }
  };
}

// Empties the scanner on the port where it answered, which need not be the one the search
// started from, only when it still holds exactly what was read.
void erase_after_download(ScannerSession& session, const Download& download) {
  const std::int32_t port = download.connection.answered()->port;
  ConnectionLog observer(session.new_log());
  const VerifiedErase erase =
      verified_erase(session.library(), session.host, port, download.records, session.clock_text(), observer);
  std::string lines = "emptied: " + yes_no(erase.confirmed()) + "\n";
  if (erase.clock) lines += "clock set: " + yes_no(erase.clock->taken()) + "\n";
  session.messages += lines;
  if (!erase.answered()) {
    session.complain(exit_not_done, "clicker: the scanner did not answer on port " + std::to_string(port) +
                                        " when it was to be emptied: nothing was erased\n");
  } else if (erase.content == ScannerContent::changed) {
    const std::int16_t held = *erase.opening.count;
    const std::string change = held != download.count ? " held " + std::to_string(held) +
                                                            " records when it was to be emptied, " +
                                                            std::to_string(download.count) + " when it was read"
                                                      : "'s records changed since they were read";
    session.complain(exit_not_done, "clicker: the scanner" + change + ": nothing was erased; download again\n");
  } else if (!erase.confirmed()) {
    session.complain(exit_not_done, "clicker: the scanner was not emptied\n");
  }
  if (erase.clock && !erase.clock->taken()) session.complain(exit_not_done, "clicker: the scanner refused the clock\n");
}

}  // namespace

void download_command(ScannerSession& session) {
  const Invocation& invocation = session.invocation;
  const Download download = search_and_read(session);
  session.host.finish();
  if (!download.answered()) return session.complain(exit_not_done, no_scanner(invocation, download.connection));
  const auto answered_port = static_cast<std::int16_t>(download.connection.answered()->port);

  if (invocation.format == Format::v03 &&
      !delimited_text_fits(download, v03_delimiter(invocation))) {
    session.overflow_cause = "the V03 text would be longer than 2,147,483,647 characters, more than the "
                             "component's text can hold: use a shorter --delimiter";
    return session.failed(Error::overflow());
  }
  const bool complete = download.complete();
  const std::string not_emptied = invocation.empty_after ? "; it was not emptied" : "";
  if (!complete && invocation.output) {
    session.complain(exit_not_done, "clicker: " + incompleteness(download) + not_emptied + "; " + *invocation.output +
                                        " was kept as it was, and the records stay on the scanner for the next run\n");
    return session.remember(answered_port);
  }
  if (!complete) session.complain(exit_not_done, "clicker: " + incompleteness(download) + not_emptied + "\n");
  if (const auto failure = deliver(session.environment.out, session.environment.err, destination_of(invocation),
                                   formatted(download, invocation))) {
    return session.complain(exit_failure, *failure);
  }
  session.remember(answered_port);
  if (invocation.empty_after && complete) erase_after_download(session, download);
}

}  // namespace vkd::cli
