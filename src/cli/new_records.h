#pragma once
// The rule for what a docking stores, against the scanner's pending records (those of its
// batches since its last confirmed erase, in order: what the store already holds of it).
//
// - A download that begins with all of them, byte for byte, contributes only the records
//   after them. One that does not (the scanner was emptied elsewhere, or holds others)
//   contributes all it holds, and the earlier pending batches are marked changed.
// - An incomplete download (a record not delivered, or delivered malformed) contributes
//   the records read before that one; it can tell nothing of records it could not read, so
//   one whose readable records are the beginning of the pending ones contributes nothing.
// - Where the records matched carry no readable time stamp, a match cannot tell a repeat
//   from a new scan of the same barcode, and a scanner whose identifier is all zeros cannot
//   be told from another: then all the records are stored as new, and the batch is marked
//   a possible repeat, rather than a scan dropped.
// So a download is stored once however many erases fail in a row, and afterwards the
// pending records are exactly what the scanner was found to hold.
#include <cstddef>
#include <vector>

#include "conversations/download.h"
#include "store/store.h"

namespace vkd::cli {

struct NewRecords {
  std::size_t first = 0;  // the download's records [first, end) are stored
  std::size_t end = 0;
  // The earlier pending batches leave the pending records, marked changed when `changed`.
  bool ends_pending = false;
  bool changed = false;
  bool possible_repeat = false;
  bool incomplete = false;
};

NewRecords new_records(const std::vector<store::Record>& pending, const Download& download);

// A downloaded record as the store keeps it.
store::Record stored_record(const DownloadedRecord& record);

}  // namespace vkd::cli
