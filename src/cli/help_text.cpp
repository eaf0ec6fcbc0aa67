#include "cli/help_text.h"

namespace vkd::cli {

namespace {

constexpr std::string_view download_help = R"(  download [--format v03|v01|csv|json|jsonl] [--delimiter D] [--output FILE
           [--append]] [--empty [--set-clock TIME]] [--wait SECONDS]
           [--port N] [--log]
      Reads every stored barcode and prints the scanner's content:
        v03   the delimited text, fields joined by D (default ";"), exactly as
              the component gives it (the version keeps its NUL padding)
        v01   the fixed-width text
        csv   RFC 4180, a header line, then one line per barcode: index,
              barcode, code_type, time, identifier, version, clock, count;
              D (one character, default ",") separates the fields; the
              version is printed without its NUL padding
        json  one object: identifier, version (NUL padding as \u0000), clock,
              count, and records [{index, barcode, code_type, time}]
        jsonl one object per line and barcode: identifier, index, barcode,
              code_type, time
      Times are ISO 8601 local date-times. The port search tries 16 ports,
      from --port N, else from the port remembered from the last run, else
      from 0, wrapping from 15 to 0.
      --output FILE  write FILE instead of standard output: it holds either
                     its old content or the whole download, never part of it
      --append       add to FILE instead (csv: no second header line; not json)
      --empty        once everything is written, and only if every record was
                     read, empty the scanner on the port where it answered and
                     print "emptied: yes|no" on standard error
      --set-clock    with --empty: set the scanner's clock as it is emptied
      --wait SECONDS search again every few seconds until a scanner answers
                     or the time is up
      When the scanner stops answering midway, what was read is printed,
      "read K of N records" goes to standard error, and the exit status is 2.
)";

constexpr std::string_view empty_help = R"(  empty [--set-clock TIME] [--port N] [--log]
      Erases the scanner and prints "empty: yes|no" (and "clock set: yes|no"
      when asked to set the clock).
)";

constexpr std::string_view clock_help = R"(      TIME is "now" (the local time), a local date and time such as
      2024-05-15T09:30:00, or SSMMHHDDMMYY: second, minute, hour, day, month
      and two-digit year, seconds first (003009150524 is the same time).
)";

constexpr std::string_view params_show_help = R"(  params show N... [--format raw] [--port N] [--log]
      Prints each listed parameter (numbers 0-99) as N=V, then the scanner's
      status items: protocol, status, version, ascii_mode, rtc_mode.
      --format raw prints the component's text instead: the list of numbers
      and values, ":" and the status report.
)";

constexpr std::string_view params_reset_help = R"(  params reset [N=V...] [--port N] [--log]
      Empties the scanner, restores its default parameters, then sets each
      listed parameter N to V (both 0-99).
)";

constexpr std::string_view hello_help = R"(  hello
      Prints the component's greeting.
)";

constexpr std::string_view common_help = R"(
Options:
  --port N     the port to use (download: to search from), 0-32767, in the
               scanner library's own numbering
  --log        print the connection log to standard error afterwards
  --help, -h   print this help (after a command: that command's help)
  --version    print the version

empty and params need a port: --port N, or the port remembered when the
scanner last answered, kept in <state folder>/vkdclicker/state.json
($XDG_STATE_HOME or ~/.local/state; %LOCALAPPDATA% on Windows).

Exit status:
  0  the command did what was asked
  1  an error (printed as "error N: description"), output that could not be
     written, or a command line that was refused (then nothing was sent)
  2  the scanner did not answer or no port is known, not every record was
     read, it was not emptied, or it refused the clock
)";

std::string section(Command command) {
  switch (command) {
    case Command::download:
      return std::string(download_help);
    case Command::empty:
      return std::string(empty_help);
    case Command::params_show:
      return std::string(params_show_help);
    case Command::params_reset:
      return std::string(params_reset_help);
    default:
      return std::string(hello_help);
  }
}

}  // namespace

std::string help_text() {
  std::string text =
      "Usage: clicker COMMAND [OPTIONS]\n\n"
      "Reads, empties and configures a batch barcode scanner through the csp2a library.\n\n"
      "Commands:\n";
  for (const Command command : {Command::download, Command::empty, Command::params_show,
                                Command::params_reset, Command::hello}) {
    text += section(command);
    if (command == Command::empty) text += clock_help;
  }
  return text + std::string(common_help);
}

std::string command_help(Command command) {
  const bool sets_clock = command == Command::download || command == Command::empty;
  return "Usage: clicker " + std::string(command_name(command)) + " [OPTIONS]\n\n" +
         section(command) + std::string(sets_clock ? clock_help : "") + std::string(common_help);
}

}  // namespace vkd::cli
