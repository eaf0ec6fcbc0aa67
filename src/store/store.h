#pragma once
// The station's durable record of what it collected: the scanners, one batch per docking,
// and each batch's records. One interface, an engine behind it (SQLite, a file of the
// user's; PostgreSQL, a server for many stations).
//
// A scanner's pending records are the records of all its batches since its last
// confirmed erase, in order: what the store believes the scanner still holds. The station
// compares a download with them to tell the new records from those it has already, inside
// one transaction per docking that holds the scanner for itself, so that two stations
// never store one record twice.
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vkd::store {

// How a batch stands:
//   stored       committed; the erase after it has not been done yet
//   emptied      the erase after it was confirmed
//   not_emptied  the erase after it was not done or not confirmed: its records are still
//                on the scanner
//   changed      a later download did not begin with its records: the scanner was emptied
//                elsewhere, or holds other records
enum class BatchState { stored, emptied, not_emptied, changed };

// "stored", "emptied", "not emptied", "changed": as the tables hold them and the command
// prints them.
std::string_view state_name(BatchState state);

struct Record {
  std::int32_t position = 0;  // the record's index in its download, from 1
  std::string barcode;        // its bytes, as the scanner gave them
  std::string text;           // one character per byte, as the component reads it, in UTF-8
  std::uint8_t code_type = 0;
  std::optional<std::string> time;  // ISO 8601 local; none when it is not the stamped time
  std::array<std::uint8_t, 4> stamp{};

  friend bool operator==(const Record&, const Record&) = default;
};

struct NewBatch {
  std::string station;
  std::string downloaded_at;  // ISO 8601 local, as every time in the store
  std::int32_t reported = 0;  // the count the scanner reported
  std::vector<Record> records;  // the new ones, in order
  // The match with the pending records could not tell a repeat from a new scan (no
  // readable time stamps, or a scanner whose identifier is all zeros).
  bool possible_repeat = false;
  bool incomplete = false;      // a record was not delivered, or came malformed
  bool outbox_wanted = false;   // the station writes an outbox file for it
};

struct Batch {
  std::int64_t number = 0;
  std::string scanner;  // its identifier, 16 hex digits
  std::string station;
  std::string downloaded_at;
  std::int32_t count = 0;     // the records stored in it
  std::int32_t reported = 0;
  BatchState state = BatchState::stored;
  bool possible_repeat = false;
  bool incomplete = false;
  bool pending = false;  // its records are among its scanner's pending records
  bool outbox_wanted = false;
  std::optional<std::string> outbox_file;  // once written

  friend bool operator==(const Batch&, const Batch&) = default;
};

struct BatchFilter {
  std::optional<std::int64_t> number;
  std::optional<std::string> since;  // downloaded at or after this ISO 8601 local time
  std::optional<std::string> scanner;
  std::optional<std::string> station;
};

// Why the store could not do what it was asked. A station that meets one leaves the
// scanner as it is and tries again at its next turn, except for `unusable`.
class StoreError : public std::runtime_error {
 public:
  enum class Kind {
    unusable,   // cannot be opened, is not a store of ours, or is newer than this program
    busy,       // locked by another program for longer than the store waits
    full,       // the disk, or the file's allowed size, is full
    read_only,  // the store may not be written
    lost,       // the connection to the server was lost (the transaction is rolled back)
    failed,     // anything else
  };
  StoreError(Kind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  Kind kind() const noexcept { return kind_; }

 private:
  Kind kind_;
};

// One docking's transaction on one scanner: the scanner is held for it (created when it is
// new, its last-seen time set), and everything is undone unless it is committed.
class Docking {
 public:
  virtual ~Docking() = default;  // rolls back what was not committed; never throws
  // The records of the scanner's pending batches, in order.
  virtual std::vector<Record> pending_records() = 0;
  // The pending batches leave the pending records, marked changed when `changed`, else
  // keeping their state.
  virtual void end_pending(bool changed) = 0;
  // Adds the batch, pending, in state stored; its number.
  virtual std::int64_t add_batch(const NewBatch& batch) = 0;
  virtual void commit() = 0;
};

class Store {
 public:
  virtual ~Store() = default;

  virtual std::unique_ptr<Docking> docking(const std::string& scanner, const std::string& seen_at) = 0;
  // After the verified erase that followed the batch: confirmed, the batch and every
  // pending batch of its scanner are emptied and none is pending any more; not confirmed,
  // the batch is not emptied and the pending records stay as they are.
  virtual void erase_done(std::int64_t batch, bool confirmed) = 0;
  virtual void outbox_written(std::int64_t batch, const std::string& file) = 0;
  // The batches of the station that want an outbox file and have none yet, oldest first.
  virtual std::vector<Batch> awaiting_outbox(const std::string& station) = 0;
  virtual std::vector<Batch> batches(const BatchFilter& filter) = 0;  // oldest first
  virtual std::vector<Record> records(std::int64_t batch) = 0;        // in order
};

// "sqlite:PATH" (or a path alone) for a SQLite file, created when missing with its folder;
// "postgresql://..." or "postgres://..." for a server. A store that cannot be opened, is
// not ours, or is newer than this program is StoreError::Kind::unusable.
std::unique_ptr<Store> open_store(const std::string& location);

// Creates the store, or brings it to this program's version, as opening it does; what it
// did, in a line. Errors as open_store.
std::string prepare_store(const std::string& location);

}  // namespace vkd::store
