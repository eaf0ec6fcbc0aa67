#pragma once
// Where a command's data goes, written and checked: nothing counts as done until the data
// is out of the program's buffers (and, for a file, on the disk).
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "cli/text_sink.h"

namespace vkd::cli {

struct Destination {
  std::optional<std::filesystem::path> file;  // none: standard output
  bool append = false;                        // add to the file instead of replacing it
};

// The file named on the command line in UTF-8.
std::filesystem::path path_of_utf8(const std::string& name);

// Writes and flushes; the reason it failed, none on success.
std::optional<std::string> write_to_stream(std::ostream& out, std::string_view text);

// What data added to a file continues: nothing (standard output, a new or a replaced
// file), or a file's content, of which it is told the first line (a CSV file then needs
// no second header, and its lines follow the columns the header names).
struct Continued {
  bool has_content = false;
  std::string first_line;
};
using Data = std::function<void(TextSink& sink, const Continued& continued)>;

// Writes the data, formatted as it goes; the reason it failed, none on success.
std::optional<std::string> deliver(std::ostream& out, const Destination& destination, const Data& data);

}  // namespace vkd::cli
