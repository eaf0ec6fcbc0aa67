#pragma once
// Where a command's data goes, written and checked: nothing counts as done until the data
// is out of the program's buffers (and, for a file, on the disk). The data is written as
// it is made, never held whole for the writing.
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/arguments.h"
#include "files/sink.h"

namespace vkd::cli {

struct Destination {
  std::optional<std::filesystem::path> file;  // none: standard output
  bool append = false;                        // add to the file instead of replacing it
  // How the data's lines end: CR LF for CSV, LF for the others.
  std::string_view line_end = "\n";
};

// --output, --append and the line end of --format.
Destination destination_of(const Invocation& invocation);

// What data added to a file continues: nothing (standard output, a new or a replaced
// file), or a file's content, of which it is told the first line (a CSV file then needs
// no second header, and its lines follow the columns the header names).
struct Continued {
  bool has_content = false;
  std::string first_line;
};

// Writes the data into the sink as it is formatted.
using Data = std::function<void(files::Sink& sink, const Continued& continued)>;

// Writes and flushes; the reason it failed, none on success.
std::optional<std::string> write_to_stream(std::ostream& out, std::string_view text);

// Writes the data to standard output (`out`) or the file: replaced whole, or added to
// under the file's lock. The complaint for standard error when it could not be written,
// none once it is out (on the disk, for a file); what the user should know of a file
// that is written all the same goes to `warnings`: a last line the file left unended,
// which the addition ends first with the data's own line end, and a folder that could
// not be flushed.
std::optional<std::string> deliver(std::ostream& out, std::ostream& warnings,
                                   const Destination& destination, const Data& data);

}  // namespace vkd::cli
