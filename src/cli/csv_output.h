#pragma once
// The download as CSV (RFC 4180): a header line, then one line per record, each carrying
// the scanner's identifier, version, clock and count too, so that every line stands on its
// own when files of several scanners are joined. Lines end with CR LF.
#include <string>
#include <string_view>

#include "cli/download_report.h"

namespace vkd::cli {

// A field quoted when it holds the separator, a quote, CR or LF; quotes inside doubled.
// The separator is one character in UTF-8, of one byte or several.
std::string csv_field(std::string_view field, std::string_view separator);

// The version loses the NUL characters that pad it to its eight places: NUL is no text a
// spreadsheet takes. Without the header line when it continues a file that has one.
std::string csv_output(const DownloadReport& report, std::string_view separator,
                       bool with_header = true);

}  // namespace vkd::cli
