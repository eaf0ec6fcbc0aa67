#pragma once
// What a download found, in the form the CSV and JSON outputs print: texts as UTF-8,
// times as ISO 8601 local date-times (the scanner's clock knows no time zone).
#include <string>
#include <vector>

#include "automation/date.h"
#include "component/clicker.h"

namespace vkd::cli {

struct RecordRow {
  int index = 0;
  std::string barcode;
  int code_type = 0;
  std::string time;
};

struct DownloadReport {
  std::string identifier;
  std::string version;  // all eight characters, NUL characters included
  std::string clock;
  int count = 0;                   // as the scanner reported it
  std::vector<RecordRow> records;  // those read: fewer than count when the library stopped
};

// "2009-05-01T13:45:02".
std::string iso_8601(Date date);

// Reads the records of the last download through the record accessors (get_barcode,
// sbarcode, stime, stype), leaving out the entries the download left unfilled (their code
// type is Empty): a placeholder is no barcode. Moves get_barcode.
DownloadReport download_report(Clicker& clicker);

}  // namespace vkd::cli
