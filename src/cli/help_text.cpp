#include "cli/help_text.h"

namespace vkd::cli {

std::string_view help_text() {
  return R"(Usage: clicker COMMAND [OPTIONS]

Reads, empties and configures a batch barcode scanner through the csp2a library.

Commands:
  download [--format v03|v01|csv|json] [--delimiter D] [--port N] [--log]
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
      Times are ISO 8601 local date-times. The port search starts at --port N,
      else at the port remembered from the last run, else at 0.
  empty [--set-clock now|SSMMHHDDMMYY] [--port N] [--log]
      Erases the scanner and prints "empty: yes|no" (and "clock set: yes|no"
      when asked to set the clock). SSMMHHDDMMYY is second, minute, hour,
      day, month and two-digit year, seconds first; "now" takes the local time.
  params show N... [--port N] [--log]
      Prints the values of the listed parameters (numbers 0-99), then ":" and
      the scanner's status report, as the component gives them.
  params reset [N=V...] [--port N] [--log]
      Empties the scanner, restores its default parameters, then sets each
      listed parameter N to V (both 0-99).
  hello
      Prints the component's greeting.

Options:
  --port N     the port to use (download: to search from), 0-32767
  --log        print the connection log to standard error afterwards
  --help, -h   print this help
  --version    print the version

empty and params need a port: --port N, or the port remembered when the
scanner last answered, kept in <configuration folder>/vkdclicker/state.json
($XDG_CONFIG_HOME or ~/.config; %APPDATA% on Windows).

Exit status:
  0  the command did what was asked
  1  an error (printed as "error N: description"), or a command line that
     was refused; nothing was sent to the scanner in the latter case
  2  the scanner did not answer (download, empty) or no port is known (empty,
     params), it was not emptied, or it refused the clock
)";
}

}  // namespace vkd::cli
