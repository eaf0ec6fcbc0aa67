#pragma once
// The command line: a command, its options before or after it, and its operands; "--"
// makes every word after it an operand.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/parameter_lists.h"
#include "cli/usage_error.h"

namespace vkd::cli {

// params names the pair of params show and params reset, whose help it gives; store the
// group of store init.
enum class Command {
  help,
  version,
  hello,
  download,
  empty,
  params,
  params_show,
  params_reset,
  collect,
  batches,
  export_,
  store,
  store_init
};
// download: v03 (the default), v01, csv, json, jsonl; params show: named (the default), raw;
// collect: csv, jsonl (its outbox files); export: csv (the default), jsonl, json.
enum class Format { v03, v01, csv, json, jsonl, named, raw };

struct Invocation {
  Command command = Command::help;
  std::optional<Command> help_topic;  // --help after a command: that command's help
  Format format = Format::v03;
  std::optional<std::string> delimiter;  // UTF-8 without a digit; csv: one character
  std::optional<std::int16_t> port;
  std::optional<std::string> set_clock;  // "now" or a checked twelve-digit text
  bool log = false;
  std::optional<std::string> output;  // download --output FILE, UTF-8
  bool append = false;
  bool empty_after = false;  // download --empty
  std::optional<int> wait_seconds;
  std::vector<int> parameters;             // params show
  std::vector<ParameterSetting> settings;  // params reset
  // The station and its store.
  std::optional<std::string> store;     // sqlite:PATH, a path, or postgresql://...
  std::optional<std::string> station;   // the name its batches carry
  int poll_seconds = 3;
  bool once = false;
  std::optional<std::string> outbox;    // a folder, UTF-8
  std::optional<std::string> exec;      // a command line run after each stored batch
  std::optional<std::string> since;     // YYYY-MM-DDTHH:MM:SS, local
  std::optional<std::int64_t> batch;
  std::optional<std::string> scanner;   // 16 upper-case hex digits
  friend bool operator==(const Invocation&, const Invocation&) = default;
};

// "download", "params show": how the help and the messages name the command.
std::string_view command_name(Command command);

OrUsageError<Invocation> parse_arguments(const std::vector<std::string>& arguments);

}  // namespace vkd::cli
