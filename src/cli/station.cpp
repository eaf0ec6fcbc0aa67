#include "cli/station.h"

#include "automation/error.h"
#include "cli/exit_code.h"
#include "cli/stop_request.h"
#include "conversations/identify_scanner.h"
#include "files/hex.h"

namespace vkd::cli {

namespace {

// A docking is handled once: the same scanner, still holding what it held afterwards, is
// the same docking until it is taken out or scanned into.
struct Handled {
  Identifier identifier{};
  std::int16_t count = 0;
  friend bool operator==(const Handled&, const Handled&) = default;
};

int exit_of(DockingEnd end) {
  switch (end) {
    case DockingEnd::emptied:
    case DockingEnd::stopped:
      return exit_ok;
    case DockingEnd::store_failed:
      return exit_failure;
    default:
      return exit_not_done;
  }
}

// The library itself missing or lacking a function will not mend while the station waits.
bool fatal(const Error& error) {
  return error.code() == ErrorNumber::file_not_found || error.code() == ErrorNumber::entry_point_not_found;
}

}  // namespace

int run_station(Library& library, Host& host, store::Store& store, const StationSettings& settings, StationRun run,
                StationEvents& events) {
  listen_for_stop();
  StoreBackoff backoff(host, events);
  DockingHandler dockings(library, host, store, settings, events, backoff);
  const auto deadline = host.monotonic_time() + std::chrono::seconds(run.wait_seconds.value_or(0));
  std::optional<Handled> handled;
  events.event("waiting for a scanner, every " + std::to_string(settings.poll.count()) + " s; station " +
               settings.station);
  while (!stop_requested()) {
    if (!backoff.due()) {
      events.status("waiting for the store to work again");
      sleep_unless_stopped(settings.poll);
      continue;
    }
    dockings.write_awaited_outbox_files();
    std::optional<Handled> seen;
    try {
      Connection connection;
      SearchObserver quiet;
      const std::optional<ScannerPresence> docked = identify_scanner(library, host, settings.ports, connection, quiet);
      if (docked) seen = Handled{docked->identifier, *docked->answered.count};
      if (!docked && handled) {
        events.event("undocked: scanner " + files::to_hex(std::span(handled->identifier).first(8)));
        handled.reset();
      }
      if (docked && seen != handled) {
        const DockingOutcome outcome = dockings.handle(*docked);
        const bool retry = outcome.end == DockingEnd::store_failed || outcome.end == DockingEnd::vanished;
        handled = retry ? std::nullopt : std::optional(Handled{docked->identifier, outcome.left_on_scanner});
        if (run.once && outcome.end != DockingEnd::vanished) return exit_of(outcome.end);
        if (outcome.end == DockingEnd::stopped) break;
      }
      events.status(handled ? "done: take the scanner out of its cradle" : "waiting for a scanner");
    } catch (const Error& error) {
      events.event("error " + std::to_string(error.number()) + ": " + to_utf8(error.description()));
      if (fatal(error) || run.once) return exit_failure;
      handled = seen;  // not again until it is taken out or scanned into
    }
    if (run.once && host.monotonic_time() >= deadline) {
      events.event("no scanner came");
      return exit_not_done;
    }
    sleep_unless_stopped(settings.poll);
  }
  events.event("stopped");
  return exit_ok;
}

}  // namespace vkd::cli
