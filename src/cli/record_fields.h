#pragma once
// The fields of a download as the CSV and JSON forms print them: texts as UTF-8, times
// as ISO 8601 local date-times (the scanner's clock knows no time zone), and a time the
// scanner did not stamp, or a clock out of range, as nothing at all rather than a
// real-looking date, with the raw bytes beside it.
#include <optional>
#include <span>
#include <string>

#include "automation/date.h"
#include "conversations/download.h"

namespace vkd::cli {

// "2009-05-01T13:45:02".
std::string iso_8601(Date date);

struct ScannerFields {
  std::string identifier;  // 16 hex digits
  std::string version;     // all eight characters, the NUL characters that pad it included
  std::optional<std::string> clock;  // none when the clock's bytes are out of range
  std::string clock_hex;
};
ScannerFields scanner_fields(const Download& download);

struct RecordFields {
  std::string barcode;  // one character per byte, as the component reads it, in UTF-8
  std::string barcode_hex;
  std::optional<std::string> time;  // none when it is not the time the scanner stamped
  std::string stamp_hex;
};
RecordFields record_fields(const DownloadedRecord& record);

// The record's barcode and time alone, as RecordFields has them.
std::string barcode_text(const DownloadedRecord& record);
std::optional<std::string> record_time(const DownloadedRecord& record);

}  // namespace vkd::cli
