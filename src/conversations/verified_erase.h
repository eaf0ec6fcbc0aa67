#pragma once
// The command line's and the station's way to empty a scanner: inside one port bracket
// the scanner's records are read again, and it is erased only when it holds exactly the
// records of the download (same count, same bytes, in order), then confirmed as an
// emptying is. A barcode scanned since the download, or a scanner emptied elsewhere and
// filled anew, keeps its records.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "automation/host.h"
#include "automation/text.h"
#include "conversations/download_records.h"
#include "conversations/empty_scanner.h"
#include "csp2a/library.h"

namespace vkd {

enum class ScannerContent : std::uint8_t {
  unread,   // the scanner was not reached, or answered with a failure
  same,     // exactly the downloaded records
  changed,  // anything else: nothing is erased
};

struct VerifiedErase {
  PortAttempt opening;  // csp2Init, and the count and status read after the pause
  std::optional<ClockSetting> clock;
  ScannerContent content = ScannerContent::unread;
  std::vector<ClearAttempt> clears;

  bool answered() const { return opening.sane(); }
  bool confirmed() const { return !clears.empty() && clears.back().confirmed; }
};

// On `port`: csp2Init; the clock step when `date_time` is not empty; the settling pause;
// csp2ReadData and the status; the comparison, packet by packet; then, only when the
// content is the same, the clear commands with their confirmation; csp2Restore. Nothing
// but the comparison stands between the last csp2GetPacket and the first clear command.
// Only a download whose records all came whole can be compared: any other is `changed`.
VerifiedErase verified_erase(Library& library, Host& host, std::int32_t port,
                             std::span<const DownloadedRecord> downloaded, const Text& date_time,
                             EmptyingObserver& observer);

}  // namespace vkd
