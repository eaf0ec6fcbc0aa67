#pragma once
// The download as one JSON object: the scanner's identifier, version, clock and count,
// and the records in scanner order. The version keeps all eight characters; NUL
// characters appear as \u0000.
#include <string>

#include "cli/download_report.h"

namespace vkd::cli {

std::string json_output(const DownloadReport& report);

}  // namespace vkd::cli
