#pragma once
// One docking at a collection station, from the scanner found in its cradle to the batch
// stored and the scanner emptied: the download; one transaction that stores the new
// records as one batch; the batch's outbox file and the user's command; the verified
// erase against the whole download, the clock set inside it when asked; the batch's state.
// Nothing is erased that is not committed, and a store that fails leaves the scanner as
// it was.
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "automation/host.h"
#include "cli/outbox.h"
#include "cli/station_events.h"
#include "cli/store_backoff.h"
#include "conversations/identify_scanner.h"
#include "conversations/search_ports.h"
#include "csp2a/library.h"
#include "store/store.h"

namespace vkd::cli {

struct StationSettings {
  std::string station;
  std::optional<Outbox> outbox;
  std::optional<std::string> exec;  // run after each stored batch
  bool set_clock = false;           // to the local time, at each docking
  PortRange ports;
  std::chrono::seconds poll{3};
};

enum class DockingEnd {
  emptied,      // stored, and the scanner erased
  not_emptied,  // stored, and the scanner still holds its records
  incomplete,   // what could be read is stored; the scanner is left as it is
  store_failed,  // nothing stored, nothing erased: to be tried again
  vanished,     // the scanner was gone before its download
  stopped,      // a stop was asked for between the commit and the erase
};

struct DockingOutcome {
  DockingEnd end = DockingEnd::vanished;
  std::int16_t left_on_scanner = 0;  // the records the scanner holds afterwards, as far as known
};

class DockingHandler {
 public:
  // The store's failures go to `backoff`, which says them.
  DockingHandler(Library& library, Host& host, store::Store& store, const StationSettings& settings, StationEvents& events,
                 StoreBackoff& backoff)
      : library_(library), host_(host), store_(store), settings_(settings), events_(events), backoff_(backoff) {}

  DockingOutcome handle(const ScannerPresence& docked);

  // Writes the outbox files still to be written; false when one could not be.
  bool write_awaited_outbox_files();

 private:
  // Records in the store whether the batch's scanner was emptied; a store that fails
  // here is corrected at the scanner's next docking.
  void record_erase(std::int64_t batch, bool emptied);

  Library& library_;
  Host& host_;
  store::Store& store_;
  const StationSettings& settings_;
  StationEvents& events_;
  StoreBackoff& backoff_;
};

}  // namespace vkd::cli
