#pragma once
// The records of stored batches as the station's outbox files and the export command give
// them: CSV (RFC 4180, CR LF), JSON Lines (one object per record) or one JSON document.
// Every record carries its batch, its scanner, the station and when it was downloaded, so
// that a line stands on its own wherever files are gathered; barcodes are read one
// character per byte, as the component reads them, and given as their bytes in hex too;
// a time the scanner did not stamp is empty (null).
#include <vector>

#include "files/sink.h"
#include "store/store.h"

namespace vkd::cli {

enum class BatchFormat { csv, jsonl, json };

class BatchWriter {
 public:
  BatchWriter(BatchFormat format, files::Sink& out) : format_(format), out_(out) {}
  BatchWriter(const BatchWriter&) = delete;
  BatchWriter& operator=(const BatchWriter&) = delete;

  void batch(const store::Batch& batch, const std::vector<store::Record>& records);
  // Closes what the form opened: a CSV file without batches still has its header.
  void finish();

 private:
  void begin();

  BatchFormat format_;
  files::Sink& out_;
  bool begun_ = false;
  bool first_batch_ = true;
};

}  // namespace vkd::cli
