#pragma once
// The download as one JSON object: the scanner's identifier, version, clock and count,
// and the records in scanner order. The version keeps all eight characters; NUL
// characters appear as \u0000.
#include <string>

#include "cli/download_report.h"

namespace vkd::cli {

std::string json_output(const DownloadReport& report);

// One line per record, each an object that carries the scanner's identifier too, so that
// a file to which download after download is appended stays one object per line.
std::string jsonl_output(const DownloadReport& report);

}  // namespace vkd::cli
