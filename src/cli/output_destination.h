#pragma once
// Where a command's data goes, written and checked: nothing counts as done until the data
// is out of the program's buffers (and, for a file, on the disk).
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace vkd::cli {

struct Destination {
  std::optional<std::filesystem::path> file;  // none: standard output
  bool append = false;                        // add to the file instead of replacing it
};

// The file named on the command line in UTF-8.
std::filesystem::path path_of_utf8(const std::string& name);

// Writes and flushes; the reason it failed, none on success.
std::optional<std::string> write_to_stream(std::ostream& out, std::string_view text);

// `data` is told whether it continues a file that already has content (a CSV file then
// needs no second header).
std::optional<std::string> deliver(std::ostream& out, const Destination& destination,
                                   const std::function<std::string(bool continuing)>& data);

}  // namespace vkd::cli
