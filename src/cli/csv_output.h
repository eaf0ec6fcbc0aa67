#pragma once
// The download as CSV (RFC 4180): a header line, then one line per record, each carrying
// the scanner's identifier, version, clock and count too, so that every line stands on its
// own when files of several scanners are joined. Lines end with CR LF.
#include <initializer_list>
#include <string>
#include <string_view>

#include "files/sink.h"
#include "conversations/download.h"

namespace vkd::cli {

inline constexpr std::string_view csv_line_end = "\r\n";

// A field quoted when it holds the separator, a quote, CR or LF; quotes inside doubled.
// The separator is one character in UTF-8, of one byte or several.
std::string csv_field(std::string_view field, std::string_view separator);

// The fields quoted where they need it, joined by the separator, and the line's end.
std::string csv_line(std::initializer_list<std::string_view> fields, std::string_view separator);

// What a file continued by an addition already has: no header line (a new file), the
// header of today's columns, or the header of the columns of earlier versions of this
// program, which had no raw bytes; the lines added match it.
enum class CsvColumns { new_file, current, without_raw_bytes };
CsvColumns columns_of_header(std::string_view first_line, std::string_view separator);

// The records that came whole. The version loses the NUL characters that pad it to its
// eight places: NUL is no text a spreadsheet takes. A time the scanner did not stamp, and
// a clock out of range, are empty fields; their raw bytes stand in the last columns.
void write_csv(const Download& download, std::string_view separator, CsvColumns continued, files::Sink& out);

}  // namespace vkd::cli
