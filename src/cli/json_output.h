#pragma once
// The download as one JSON document, or as JSON Lines (one object per record, each with
// the scanner's identifier, so that a file to which download after download is appended
// stays one object per line). Barcodes are read one character per byte, as the component
// reads them, and given as their bytes in hex too; a time the scanner did not stamp, and
// a clock out of range, are null, with their raw bytes beside them.
#include "files/sink.h"
#include "conversations/download.h"

namespace vkd::cli {

// The scanner's identifier, version (all eight characters; NUL characters appear as
// \u0000), clock and count, and the records that came whole, in scanner order.
void write_json(const Download& download, files::Sink& out);

void write_json_lines(const Download& download, files::Sink& out);

}  // namespace vkd::cli
