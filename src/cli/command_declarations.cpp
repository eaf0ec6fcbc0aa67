// Every command of clicker with its options, one function each, in the order the help
// lists them. A new command is a value of Command with its command_name, one more
// function here and one more call in declare_commands; an option that several commands
// take alike is one function that each of them calls (in the group shared_options when
// the general help should describe it once). A refusal is worded to follow the option's
// name, both a check's and the CLI::ValidationError(option name, refusal) that a command's
// callback throws for what depends on several options.
#include <cstdint>
#include <limits>
#include <utility>

#include "cli/command_line.h"
#include "cli/delimiter_rule.h"
#include "cli/option_checks.h"
#include "cli/parameter_lists.h"

namespace vkd::cli {

namespace {

using FormatNames = std::vector<std::pair<std::string, Format>>;

constexpr int largest_port = std::numeric_limits<std::int16_t>::max();

// Moves an OrUsageError's value into `target`, or hands its refusal on.
template <typename T>
std::optional<UsageError> fill(OrUsageError<T> result, T& target) {
  if (auto* refusal = std::get_if<UsageError>(&result)) return *refusal;
  target = std::move(std::get<T>(result));
  return std::nullopt;
}

// --format, taking one of `formats` by its name.
CLI::Option* add_format(CLI::App& command, Format& format, const FormatNames& formats,
                        std::string description, std::string scope = {}) {
  std::vector<std::string> names;
  for (const auto& [name, value] : formats) names.push_back(name);
  return command
      .add_option_function<std::string>(
          "--format",
          [&format, formats](const std::string& name) {
            format = std::ranges::find(formats, name, &FormatNames::value_type::first)->second;
          },
          std::move(description))
      ->type_name(CLI::detail::join(names, "|"))
      ->check(choice_check(std::move(names), std::move(scope)));
}

// --set-clock TIME, for the commands that empty the scanner.
CLI::Option* add_set_clock(CLI::App& command, Invocation& invocation) {
  return command
      .add_option_function<std::string>(
          "--set-clock", [&invocation](const std::string& clock) { invocation.set_clock = clock; },
          "set the scanner's clock as it is emptied. TIME is \"now\" (the local time), a local "
          "date and time such as 2024-05-15T09:30:00, or SSMMHHDDMMYY: second, minute, hour, "
          "day, month and two-digit year, seconds first (003009150524 is the same time)")
      ->type_name("TIME")
      ->transform(clock_check());
}

// --port N.
void add_port_option(CLI::App& command, Invocation& invocation, const std::string& description) {
  command
      .add_option_function<int>(
          "--port", [&invocation](int port) { invocation.port = static_cast<std::int16_t>(port); }, description)
      ->type_name("N")
      ->transform(whole_number_check(largest_port,
                                     "a port number from 0 to " + std::to_string(largest_port)))
      ->group(shared_options);
}

// --output FILE, replaced whole.
CLI::Option* add_output_option(CLI::App& command, Invocation& invocation, const std::string& what) {
  return command
      .add_option_function<std::string>(
          "--output", [&invocation](const std::string& file) { invocation.output = file; },
          "write FILE instead of standard output: it holds either its old content or the whole " + what +
              ", never part of it")
      ->type_name("FILE")
      ->check(non_empty_check("needs a file name"));
}

// --port N and --log, for every command that talks to the scanner.
void add_connection_options(CLI::App& command, Invocation& invocation) {
  add_port_option(command, invocation,
                  "the port to use (download: to search from), 0-" + std::to_string(largest_port) +
                      ", in the scanner library's own numbering");
  command
      .add_flag("--log", invocation.log, "print the connection log to standard error afterwards")
      ->group(shared_options);
}

constexpr char download_description[] =
    R"(Reads every stored barcode and prints the scanner's content:
  v03   the delimited text, fields joined by D (default ";"), exactly as
        the component gives it (the version keeps its NUL padding)
  v01   the fixed-width text
  csv   RFC 4180, a header line, then one line per barcode: index,
        barcode, code_type, time, identifier, version, clock, count,
        stamp_hex, clock_hex; D (one character, default ",") separates
        the fields; the version is printed without its NUL padding
  json  one object: identifier, version (NUL padding as \u0000), clock,
        count, clock_hex, and records [{index, barcode, code_type, time,
        barcode_hex, stamp_hex}]
  jsonl one object per line and barcode: identifier, index, barcode,
        code_type, time, barcode_hex, stamp_hex
Times are ISO 8601 local date-times; a time the scanner did not stamp,
and a clock out of range, are empty (null in JSON), their raw bytes in
the _hex fields. A barcode is read one character per byte, as the
component reads it. The port search tries 16 ports, from --port N, else
from the port remembered from the last run, else from 0, wrapping from
15 to 0 and from 32767 to 0.)";
constexpr char download_footer[] =
    R"(When the scanner stops answering midway, or a record comes malformed, what
was read is printed ("read K of N records" goes to standard error) but an
--output FILE keeps its old content, and the exit status is 2.)";

void declare_download(CommandLine& line) {
  Invocation& invocation = line.invocation();
  CLI::App& download = line.add_command(Command::download, download_description, download_footer);
  add_format(download, invocation.format,
             {{"v03", Format::v03},
              {"v01", Format::v01},
              {"csv", Format::csv},
              {"json", Format::json},
              {"jsonl", Format::jsonl}},
             "the form above; v03 when not given");
  CLI::Option* delimiter =
      download
          .add_option_function<std::string>(
              "--delimiter",
              [&invocation](const std::string& text) { invocation.delimiter = text; },
              "D above: UTF-8 text without a digit; for csv one character other than a quote "
              "or a line break")
          ->type_name("D");
  CLI::Option* output = add_output_option(download, invocation, "download");
  CLI::Option* append = download.add_flag(
      "--append", invocation.append, "add to FILE instead (csv: no second header line; not json)");
  line.needs(append, output);
  CLI::Option* empty = download.add_flag(
      "--empty", invocation.empty_after,
      "once everything is written, and only if every record was read whole, empty the scanner "
      "on the port where it answered, if it still holds exactly the records read, and print "
      "\"emptied: yes|no\" on standard error");
  line.needs(add_set_clock(download, invocation), empty, "the clock is set as it is emptied");
  download
      .add_option_function<int>(
          "--wait", [&invocation](int seconds) { invocation.wait_seconds = seconds; },
          "search again every few seconds until a scanner answers or the time is up")
      ->type_name("SECONDS")
      ->transform(whole_number_check(std::numeric_limits<int>::max(), "a whole number of seconds"));
  add_connection_options(download, invocation);
  download.callback([&invocation, delimiter, append] {
    if (invocation.delimiter) {
      if (auto refusal = delimiter_refusal(invocation.format, *invocation.delimiter))
        throw CLI::ValidationError(delimiter->get_name(), *refusal);
    }
    if (invocation.append && invocation.format == Format::json) {
      throw CLI::ValidationError(
          append->get_name(),
          "does not take --format json: a second document would spoil the file (use jsonl)");
    }
  });
}

constexpr char empty_description[] =
    R"(Erases the scanner and prints "empty: yes|no" (and "clock set: yes|no"
when asked to set the clock).)";

void declare_empty(CommandLine& line) {
  Invocation& invocation = line.invocation();
  CLI::App& empty = line.add_command(Command::empty, empty_description);
  add_set_clock(empty, invocation);
  add_connection_options(empty, invocation);
}

constexpr char params_show_description[] =
    R"(Prints each listed parameter (numbers 0-99) as N=V, then the scanner's
status items: protocol, status, version, ascii_mode, rtc_mode.)";

constexpr char params_reset_description[] =
    R"(Empties the scanner, restores its default parameters, then sets each
listed parameter N to V (both 0-99).)";

void declare_params(CommandLine& line) {
  Invocation& invocation = line.invocation();
  line.add_command(Command::params, "Reads or sets the scanner's parameters.");

  CLI::App& show = line.add_command(Command::params_show, params_show_description);
  show.preparse_callback([&invocation](std::size_t) { invocation.format = Format::named; });
  add_format(show, invocation.format, {{"raw", Format::raw}},
             "print the component's text instead: the list of numbers and values, \":\" and "
             "the status report",
             "of " + std::string(command_name(Command::params_show)));
  add_connection_options(show, invocation);
  line.add_operands(Command::params_show,
                    {"N...", [](std::span<const std::string> words, Invocation& filled) {
                       return fill(parameter_numbers(words), filled.parameters);
                     }});

  CLI::App& reset = line.add_command(Command::params_reset, params_reset_description);
  add_connection_options(reset, invocation);
  line.add_operands(Command::params_reset,
                    {"[N=V...]", [](std::span<const std::string> words, Invocation& filled) {
                       return fill(parameter_settings(words), filled.settings);
                     }});
}

// --store URL, for every command that uses the station's store.
void add_store_option(CLI::App& command, Invocation& invocation) {
  command
      .add_option_function<std::string>(
          "--store", [&invocation](const std::string& store) { invocation.store = store; },
          "the station's store: sqlite:PATH (or a path), or postgresql://... for a shared server; "
          "sqlite:<data folder>/vkdclicker/scans.db when not given ($XDG_DATA_HOME or "
          "~/.local/share; %LOCALAPPDATA% on Windows)")
      ->type_name("STORE")
      ->check(non_empty_check("needs a store"))
      ->group(shared_options);
}

constexpr char collect_description[] =
    R"(A collection station: waits for a scanner in its cradle, and at each
docking downloads it, stores its new records as one batch in the store, and
empties it only once that batch is committed and the scanner still holds
exactly what was read. One line on standard error per event. Runs until
SIGINT or SIGTERM (Ctrl+C), which end it after its current step.)";

void declare_collect(CommandLine& line) {
  Invocation& invocation = line.invocation();
  CLI::App& collect = line.add_command(Command::collect, collect_description);
  collect
      .add_option_function<std::string>(
          "--station", [&invocation](const std::string& name) { invocation.station = name; },
          "the name the station's batches carry; the computer's name when not given")
      ->type_name("NAME")
      ->check(non_empty_check("needs a name"));
  collect
      .add_option_function<int>(
          "--poll", [&invocation](int seconds) { invocation.poll_seconds = seconds; },
          "search for a scanner every SECONDS (3 when not given), sleeping between")
      ->type_name("SECONDS")
      ->transform(whole_number_check(3600, "a whole number of seconds from 1 to 3600"))
      ->check(CLI::Range(1, 3600).description(""));
  CLI::Option* outbox =
      collect
          .add_option_function<std::string>(
              "--outbox", [&invocation](const std::string& folder) { invocation.outbox = folder; },
              "write one file per stored batch into DIR, <identifier>-<yyyymmddThhmmss>-<batch>.csv "
              "or .jsonl; a scanner is emptied only once its batch's file is written")
          ->type_name("DIR")
          ->check(non_empty_check("needs a folder"));
  line.needs(add_format(collect, invocation.format, {{"csv", Format::csv}, {"jsonl", Format::jsonl}},
                        "the form of the outbox files; csv when not given"),
             outbox, "it is the form of the outbox files");
  collect
      .add_option_function<std::string>(
          "--exec", [&invocation](const std::string& command) { invocation.exec = command; },
          "run CMD after each stored batch, with VKD_BATCH, VKD_BATCH_FILE and VKD_SCANNER in its "
          "environment; its failure is reported and changes nothing else")
      ->type_name("CMD")
      ->check(non_empty_check("needs a command"));
  collect
      .add_option_function<std::string>(
          "--set-clock", [&invocation](const std::string& clock) { invocation.set_clock = clock; },
          "set each scanner's clock to the local time as it is emptied")
      ->type_name("now")
      ->check(choice_check({"now"}, "of collect"));
  CLI::Option* once = collect.add_flag("--once", invocation.once, "handle one docking, then exit");
  line.needs(collect
                 .add_option_function<int>(
                     "--wait", [&invocation](int seconds) { invocation.wait_seconds = seconds; },
                     "how long to wait for that docking")
                 ->type_name("SECONDS")
                 ->transform(whole_number_check(std::numeric_limits<int>::max(), "a whole number of seconds")),
             once);
  add_store_option(collect, invocation);
  add_port_option(collect, invocation,
                  "the port to search from; the one remembered from the last run, else 0, when not given");
}

constexpr char batches_description[] =
    R"(Lists the batches in the store, oldest first: number, scanner, station,
when it was downloaded, records stored, records the scanner reported, state
(stored, emptied, not emptied, changed) and marks (incomplete, possible
repeat).)";

// --since TIME and --scanner ID, to choose batches.
void add_batch_choice(CLI::App& command, Invocation& invocation) {
  command
      .add_option_function<std::string>(
          "--since", [&invocation](const std::string& time) { invocation.since = time; },
          "the batches downloaded at or after TIME, a local date YYYY-MM-DD or date and time "
          "YYYY-MM-DDTHH:MM:SS")
      ->type_name("TIME")
      ->transform(time_check());
}

void declare_batches(CommandLine& line) {
  Invocation& invocation = line.invocation();
  CLI::App& batches = line.add_command(Command::batches, batches_description);
  add_batch_choice(batches, invocation);
  batches
      .add_option_function<std::string>(
          "--scanner", [&invocation](const std::string& id) { invocation.scanner = id; },
          "the batches of this scanner, by its identifier of 16 hex digits")
      ->type_name("ID")
      ->transform(identifier_check());
  add_store_option(batches, invocation);
}

constexpr char export_description[] =
    R"(Writes the records of stored batches: one per line in CSV (the default) or
JSON Lines, each with its batch, scanner, station and download time, index,
barcode, code_type, time, barcode_hex and stamp_hex; or one JSON document of
the batches and their records. All batches when none is chosen.)";

void declare_export(CommandLine& line) {
  Invocation& invocation = line.invocation();
  CLI::App& exported = line.add_command(Command::export_, export_description);
  exported.preparse_callback([&invocation](std::size_t) { invocation.format = Format::csv; });
  CLI::Option* batch =
      exported
          .add_option_function<int>(
              "--batch", [&invocation](int number) { invocation.batch = number; }, "the batch numbered N")
          ->type_name("N")
          ->transform(whole_number_check(std::numeric_limits<int>::max(), "a batch number"));
  add_batch_choice(exported, invocation);
  batch->excludes(exported.get_option("--since"));
  add_format(exported, invocation.format,
             {{"csv", Format::csv}, {"jsonl", Format::jsonl}, {"json", Format::json}},
             "the form above; csv when not given", "of export");
  add_output_option(exported, invocation, "export");
  add_store_option(exported, invocation);
}

constexpr char store_init_description[] =
    R"(Creates the store, or brings it to this program's version, and says what
it did. On a PostgreSQL server: the schema, when the role may create it, and
its tables (see the README for the rights a role needs). A SQLite file is
created and brought up to date whenever a command opens it; this only opens
it. A store that is not ours, or newer than the program, is left as it is.)";

void declare_store(CommandLine& line) {
  Invocation& invocation = line.invocation();
  line.add_command(Command::store, "Makes the station's store ready.");
  CLI::App& init = line.add_command(Command::store_init, store_init_description);
  add_store_option(init, invocation);
}

void declare_hello(CommandLine& line) {
  line.add_command(Command::hello, "Prints the component's greeting.");
}

constexpr char general_footer[] =
    R"(empty and params need a port: --port N, or the port remembered when the
scanner last answered, kept in <state folder>/vkdclicker/state.json
($XDG_STATE_HOME or ~/.local/state; %LOCALAPPDATA% on Windows).

Exit status:
  0  the command did what was asked
  1  an error (printed as "error N: description"), output that could not be
     written, or a command line that was refused (then nothing was sent)
  2  the scanner did not answer or no port is known, not every record was
     read, it was not emptied, or it refused the clock)";

}  // namespace

void declare_commands(CommandLine& line) {
  CLI::App& root = line.root();
  root.description(
      "Reads, empties and configures a batch barcode scanner through the csp2a library.");
  // Declared before the commands, which take it over.
  root.set_help_flag("--help,-h", "print this help (after a command: that command's help)");
  root.set_version_flag("--version", "", "print the version");
  declare_download(line);
  declare_empty(line);
  declare_params(line);
  declare_collect(line);
  declare_batches(line);
  declare_export(line);
  declare_store(line);
  declare_hello(line);
  // After the commands, which would take it over too.
  root.footer(general_footer);
}

}  // namespace vkd::cli
