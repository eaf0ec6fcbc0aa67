#include "cli/arguments.h"

#include <algorithm>
#include <limits>
#include <map>
#include <span>

#include "cli/clock_text.h"
#include "cli/whole_number.h"

namespace vkd::cli {

namespace {

constexpr Command scanner_commands[] = {Command::download, Command::empty, Command::params_show,
                                        Command::params_reset};

struct OptionRule {
  std::string_view name;
  bool takes_value;
  std::vector<Command> commands;  // the commands it applies to
};

const std::vector<OptionRule>& option_rules() {
  static const std::vector<OptionRule> rules = {
      {"--help", false, {}},
      {"--version", false, {}},
      {"--format", true, {Command::download, Command::params_show}},
      {"--delimiter", true, {Command::download}},
      {"--output", true, {Command::download}},
      {"--append", false, {Command::download}},
      {"--empty", false, {Command::download}},
      {"--wait", true, {Command::download}},
      {"--set-clock", true, {Command::download, Command::empty}},
      {"--port", true, {std::begin(scanner_commands), std::end(scanner_commands)}},
      {"--log", false, {std::begin(scanner_commands), std::end(scanner_commands)}},
  };
  return rules;
}

const OptionRule* find_rule(std::string_view name) {
  const auto& rules = option_rules();
  const auto rule = std::ranges::find(rules, name, &OptionRule::name);
  return rule == rules.end() ? nullptr : &*rule;
}

// Appended piece by piece: "'" + text + "'" trips a false -Wrestrict of g++ 12 at -O2.
std::string quoted(std::string_view word) {
  std::string text(1, '\'');
  text += word;
  text += '\'';
  return text;
}

// Options are the words that begin with "--" (and -h); any other word, "-1" included, is
// an operand, so that a negative parameter number is refused as a number.
struct SplitLine {
  std::map<std::string_view, std::string> options;
  std::vector<std::string> operands;
};

OrUsageError<SplitLine> split(const std::vector<std::string>& arguments) {
  SplitLine line;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    const std::string& word = arguments[i];
    if (!word.starts_with("--") && word != "-h") {
      line.operands.push_back(word);
      continue;
    }
    const auto equals = word.find('=');
    const std::string_view name =
        word == "-h" ? "--help" : std::string_view(word).substr(0, equals);
    const OptionRule* rule = find_rule(name);
    if (rule == nullptr) return UsageError{"unknown option " + quoted(name)};
    if (line.options.contains(rule->name)) return UsageError{std::string(name) + " is given twice"};
    std::string value;
    if (equals != std::string::npos) {
      if (!rule->takes_value) return UsageError{std::string(name) + " takes no value"};
      value = word.substr(equals + 1);
    } else if (rule->takes_value) {
      if (++i == arguments.size()) return UsageError{std::string(name) + " needs a value"};
      value = arguments[i];
    }
    line.options.emplace(rule->name, std::move(value));
  }
  return line;
}

OrUsageError<Command> command_of(std::span<const std::string> operands, std::size_t& used) {
  if (operands.empty()) return UsageError{"no command given"};
  const std::string& name = operands[0];
  used = 1;
  if (name == "hello") return Command::hello;
  if (name == "download") return Command::download;
  if (name == "empty") return Command::empty;
  if (name != "params") return UsageError{"unknown command " + quoted(name)};
  used = 2;
  if (operands.size() > 1 && operands[1] == "show") return Command::params_show;
  if (operands.size() > 1 && operands[1] == "reset") return Command::params_reset;
  return UsageError{"params needs 'show' or 'reset'"};
}

// The command a refused line names, for pointing at its help: its first word that is a
// command's name (option values may stand before it).
std::string command_named_in(std::span<const std::string> arguments) {
  for (std::size_t first = 0; first < arguments.size(); ++first) {
    std::size_t used = 0;
    const auto command = command_of(arguments.subspan(first), used);
    if (const auto* named = std::get_if<Command>(&command))
      return std::string(command_name(*named));
  }
  return {};
}

OrUsageError<Format> format_of(Command command, const std::string& name) {
  if (command == Command::params_show) {
    if (name == "raw") return Format::raw;
    return UsageError{"--format of params show takes raw, not " + quoted(name)};
  }
  if (name == "v03") return Format::v03;
  if (name == "v01") return Format::v01;
  if (name == "csv") return Format::csv;
  if (name == "json") return Format::json;
  if (name == "jsonl") return Format::jsonl;
  return UsageError{"--format takes v03, v01, csv, json or jsonl, not " + quoted(name)};
}

std::optional<UsageError> delimiter_error(Format format, const std::string& delimiter) {
  switch (format) {
    case Format::v03:
      if (delimiter.empty()) return UsageError{"--delimiter needs at least one character"};
      return std::nullopt;
    case Format::csv:
      if (delimiter.size() != 1 || delimiter == "\"" || delimiter == "\r" || delimiter == "\n") {
        return UsageError{
            "--delimiter for csv is one character other than a quote or a line break"};
      }
      return std::nullopt;
    default:
      return UsageError{"--delimiter applies to --format v03 and csv only"};
  }
}

// Moves an OrUsageError's value into `target`, or hands its error on.
template <typename T, typename U>
std::optional<UsageError> take(OrUsageError<T> result, U& target) {
  if (auto* error = std::get_if<UsageError>(&result)) return *error;
  target = std::move(std::get<T>(result));
  return std::nullopt;
}

std::optional<UsageError> apply_clock(const std::string& value, Invocation& invocation) {
  if (value == "now" || is_clock_text(value)) {
    invocation.set_clock = value;
  } else if (auto iso = clock_text_of_iso_8601(value)) {
    invocation.set_clock = std::move(iso);
  } else {
    return UsageError{
        "--set-clock takes 'now', a local date and time YYYY-MM-DDTHH:MM:SS (years "
        "2000-2099) or SSMMHHDDMMYY (seconds first), not " +
        quoted(value)};
  }
  if (invocation.command == Command::download && !invocation.empty_after)
    return UsageError{"--set-clock for download needs --empty: the clock is set as it is emptied"};
  return std::nullopt;
}

std::optional<UsageError> apply_download_options(
    const std::map<std::string_view, std::string>& options, Invocation& invocation) {
  invocation.append = options.contains("--append");
  invocation.empty_after = options.contains("--empty");
  if (const auto output = options.find("--output"); output != options.end()) {
    if (output->second.empty()) return UsageError{"--output needs a file name"};
    invocation.output = output->second;
  }
  if (invocation.append && !invocation.output) return UsageError{"--append needs --output FILE"};
  if (invocation.append && invocation.format == Format::json) {
    return UsageError{
        "--append does not take --format json: a second document would spoil the file (use "
        "jsonl)"};
  }
  if (const auto wait = options.find("--wait"); wait != options.end()) {
    invocation.wait_seconds = whole_number(wait->second, std::numeric_limits<int>::max());
    if (!invocation.wait_seconds)
      return UsageError{"--wait takes a whole number of seconds, not " + quoted(wait->second)};
  }
  return std::nullopt;
}

std::optional<UsageError> apply_options(const std::map<std::string_view, std::string>& options,
                                        Invocation& invocation) {
  for (const auto& [name, value] : options) {
    const auto& commands = find_rule(name)->commands;
    if (std::ranges::find(commands, invocation.command) == commands.end()) {
      return UsageError{std::string(name) + " does not apply to this command"};
    }
  }
  if (invocation.command == Command::params_show) invocation.format = Format::named;
  if (const auto format = options.find("--format"); format != options.end()) {
    if (auto error = take(format_of(invocation.command, format->second), invocation.format))
      return error;
  }
  if (const auto delimiter = options.find("--delimiter"); delimiter != options.end()) {
    if (auto error = delimiter_error(invocation.format, delimiter->second)) return error;
    invocation.delimiter = delimiter->second;
  }
  if (const auto port = options.find("--port"); port != options.end()) {
    const auto number = whole_number(port->second, std::numeric_limits<std::int16_t>::max());
    if (!number)
      return UsageError{"--port takes a port number from 0 to 32767, not " + quoted(port->second)};
    invocation.port = static_cast<std::int16_t>(*number);
  }
  if (invocation.command == Command::download) {
    if (auto error = apply_download_options(options, invocation)) return error;
  }
  if (const auto clock = options.find("--set-clock"); clock != options.end()) {
    if (auto error = apply_clock(clock->second, invocation)) return error;
  }
  invocation.log = options.contains("--log");
  return std::nullopt;
}

std::optional<UsageError> apply_operands(std::span<const std::string> operands,
                                         Invocation& invocation) {
  switch (invocation.command) {
    case Command::params_show:
      return take(parameter_numbers(operands), invocation.parameters);
    case Command::params_reset:
      return take(parameter_settings(operands), invocation.settings);
    default:
      if (!operands.empty()) return UsageError{"unexpected word " + quoted(operands.front())};
      return std::nullopt;
  }
}

OrUsageError<Invocation> parsed(const std::vector<std::string>& arguments) {
  SplitLine line;
  if (auto error = take(split(arguments), line)) return *error;
  Invocation invocation;
  std::size_t used = 0;
  const auto command = command_of(line.operands, used);
  if (line.options.contains("--help")) {
    if (const auto* topic = std::get_if<Command>(&command)) invocation.help_topic = *topic;
    return invocation;
  }
  if (line.options.contains("--version")) {
    invocation.command = Command::version;
    return invocation;
  }
  if (auto error = take(command, invocation.command)) return *error;
  if (auto error = apply_options(line.options, invocation)) return *error;
  if (auto error = apply_operands(std::span(line.operands).subspan(used), invocation))
    return *error;
  return invocation;
}

}  // namespace

std::string_view command_name(Command command) {
  switch (command) {
    case Command::hello:
      return "hello";
    case Command::download:
      return "download";
    case Command::empty:
      return "empty";
    case Command::params_show:
      return "params show";
    case Command::params_reset:
      return "params reset";
    default:
      return "";
  }
}

OrUsageError<Invocation> parse_arguments(const std::vector<std::string>& arguments) {
  auto result = parsed(arguments);
  if (auto* error = std::get_if<UsageError>(&result)) error->command = command_named_in(arguments);
  return result;
}

}  // namespace vkd::cli
