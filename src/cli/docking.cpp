#include "cli/docking.h"

#include <variant>

#include "cli/after_batch.h"
#include "cli/clock_text.h"
#include "cli/new_records.h"
#include "cli/path_text.h"
#include "cli/stop_request.h"
#include "component/connection_log.h"
#include "conversations/download.h"
#include "conversations/verified_erase.h"
#include "files/hex.h"

namespace vkd::cli {

namespace {

std::string records_text(std::size_t count) {
  return std::to_string(count) + (count == 1 ? " record" : " records");
}

std::string identifier_of(const Identifier& identifier) {
  return files::to_hex(std::span(identifier).first(8));
}

// What kept a download from being whole, and what the operator can do about it.
std::string incompleteness(const Download& download, std::size_t readable) {
  const std::string of = " of " + records_text(static_cast<std::size_t>(download.count));
  const std::string advice =
      ": not emptied; look at the scanner's records, and once they are safe run 'clicker empty'";
  if (readable < download.records.size() && download.records[readable].state == RecordState::malformed) {
    return "incomplete: record " + std::to_string(readable + 1) + of + " came malformed" + advice;
  }
  return "incomplete: read " + std::to_string(readable) + of + advice;
}

std::string batch_text(std::int64_t number, const NewRecords& rule) {
  std::string text = "stored as batch " + std::to_string(number) + ": " + records_text(rule.end - rule.first) + " new";
  if (rule.changed) text += "; the earlier batches of this scanner are marked changed (it was emptied elsewhere)";
  if (rule.possible_repeat) text += "; marked a possible repeat (records without time stamps, or no identifier)";
  return text;
}

}  // namespace

bool DockingHandler::write_awaited_outbox_files() {
  if (!settings_.outbox) return true;
  try {
    for (const store::Batch& batch : store_.awaiting_outbox(settings_.station)) {
      const auto written = write_outbox_file(*settings_.outbox, batch, store_.records(batch.number));
      if (const auto* failure = std::get_if<std::string>(&written)) {
        events_.event("outbox: " + *failure + "; tried again at the next turn");
        return false;
      }
      store_.outbox_written(batch.number, utf8_of_path(std::get<std::filesystem::path>(written)));
    }
    backoff_.worked();
  } catch (const store::StoreError& error) {
    backoff_.failed(error, "the outbox files still to be written wait for it");
    return false;
  }
  return true;
}

void DockingHandler::record_erase(std::int64_t batch, bool emptied) {
  try {
    store_.erase_done(batch, emptied);
  } catch (const store::StoreError& error) {
    backoff_.failed(error, "the batch's state is corrected at the scanner's next docking");
  }
}

DockingOutcome DockingHandler::handle(const ScannerPresence& docked) {
  const PortAttempt& answered = docked.answered;
  events_.event("docked: scanner " + identifier_of(docked.identifier) + " on port " + std::to_string(answered.port) +
                ", " + records_text(static_cast<std::size_t>(*answered.count)));
  DownloadObserver quiet;
  const Download download =
      vkd::download(library_, host_, PortRange{.first = answered.port, .highest = settings_.ports.highest}, quiet);
  if (!download.answered()) {
    events_.event("undocked before its download");
    return {DockingEnd::vanished, 0};
  }
  const std::string scanner = identifier_of(download.identifier);
  events_.event("downloaded " + records_text(download.records.size()) + " of " +
                records_text(static_cast<std::size_t>(download.count)) + " from scanner " + scanner);

  // One transaction: what is new is decided against what the store holds under the
  // scanner's lock, and stored as one batch.
  NewRecords rule;
  std::int64_t number = 0;
  try {
    const std::string now = iso_8601_of_now();
    const std::unique_ptr<store::Docking> transaction = store_.docking(scanner, now);
    rule = new_records(transaction->pending_records(), download);
    if (rule.ends_pending) transaction->end_pending(rule.changed);
    store::NewBatch batch{.station = settings_.station,
                          .downloaded_at = now,
                          .reported = download.count,
                          .records = {},
                          .possible_repeat = rule.possible_repeat,
                          .incomplete = rule.incomplete,
                          .outbox_wanted = settings_.outbox.has_value()};
    for (std::size_t i = rule.first; i < rule.end; ++i) batch.records.push_back(stored_record(download.records[i]));
    number = transaction->add_batch(batch);
    transaction->commit();
  } catch (const store::StoreError& error) {
    backoff_.failed(error, "the scanner was left as it was");
    return {DockingEnd::store_failed, download.count};
  }
  backoff_.worked();
  events_.event(batch_text(number, rule));

  const bool outbox_written = write_awaited_outbox_files();
  if (settings_.exec) {
    try {
      store::BatchFilter this_batch;
      this_batch.number = number;
      const std::vector<store::Batch> batches = store_.batches(this_batch);
      const std::optional<std::string>& file = batches.at(0).outbox_file;
      const std::optional<std::filesystem::path> path =
          file ? std::optional(path_of_utf8(*file)) : std::nullopt;
      if (const auto failure = run_after_batch(*settings_.exec, batches.at(0), path)) events_.event(*failure);
    } catch (const store::StoreError& error) {
      backoff_.failed(error, "the command was not run");
    }
  }

  const auto keep = [&](DockingEnd end, const std::string& why) {
    if (!why.empty()) events_.event(why);
    record_erase(number, false);
    return DockingOutcome{end, download.count};
  };
  if (rule.incomplete) return keep(DockingEnd::incomplete, incompleteness(download, rule.end));
  if (!outbox_written) return keep(DockingEnd::not_emptied, "not emptied: its outbox file is not written yet");
  if (stop_requested()) return {DockingEnd::stopped, download.count};

  EmptyingObserver quiet_erase;
  const VerifiedErase erase =
      verified_erase(library_, host_, download.connection.answered()->port, download.records,
                     settings_.set_clock ? from_utf8(clock_text_of_now()) : Text(), quiet_erase);
  if (erase.clock) events_.event(erase.clock->taken() ? "clock set" : "the scanner refused the clock");
  std::string outcome = "emptied";
  if (!erase.answered()) {
    outcome = "not emptied: the scanner did not answer";
  } else if (erase.content == ScannerContent::changed) {
    outcome = "not emptied: the scanner's records changed since the download";
  } else if (!erase.confirmed()) {
    outcome = "not emptied: the scanner did not confirm its erase";
  }
  events_.event(outcome);
  record_erase(number, erase.confirmed());
  if (!erase.confirmed()) return {DockingEnd::not_emptied, erase.opening.count.value_or(download.count)};
  return {DockingEnd::emptied, 0};
}

}  // namespace vkd::cli
