#pragma once
// The commands that talk to the scanner. Each runs operations of the Clicker object and
// says what to print and how the command ends; printing is left to the caller, which
// first clears the progress line and then checks every write.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/exit_code.h"
#include "component/clicker.h"
#include "files/sink.h"

namespace vkd::cli {

struct Outcome {
  int exit_code = exit_ok;
  // Writes the data, for standard output or the --output file, into the sink; told whether
  // it continues a file that already has content. None: nothing to print.
  std::function<void(files::Sink& sink, bool continuing)> output;
  std::string complaint;  // for standard error
  // The port on which the scanner answered, to be remembered for the next run.
  std::optional<std::int16_t> answered_port;
  // What may happen only once the data is safely written and the port remembered, and
  // only while the command has succeeded so far (download --empty).
  std::function<void(Outcome&)> after_delivery;

  static Outcome printing(std::string output,
                          std::optional<std::int16_t> answered_port = std::nullopt) {
    return {exit_ok, [text = std::move(output)](files::Sink& sink, bool) { sink.write(text); }, {},
            answered_port, {}};
  }
  static Outcome ending(int exit_code, std::string complaint) {
    return {exit_code, {}, std::move(complaint), {}, {}};
  }
};

// How an emptying went: "yes"/"no" lines for the emptying and, when asked, the clock, and
// the complaints that make the command end with exit status 2.
struct EmptyingReport {
  std::string lines;
  std::string complaint;
};

// EmptyScanner on the object's lastport, setting the clock first when `set_clock` is given
// ("now" or a checked twelve-digit text). `emptied_word` begins the first line: "empty"
// or "emptied".
EmptyingReport empty_scanner(Clicker& clicker, const std::optional<std::string>& set_clock,
                             std::int16_t port, const std::string& emptied_word);

// `port` is the port the command was given or remembered; the commands use it alone.
Outcome empty(Clicker& clicker, const Invocation& invocation, std::int16_t port);
Outcome params_show(Clicker& clicker, const Invocation& invocation, std::int16_t port);
Outcome params_reset(Clicker& clicker, const Invocation& invocation, std::int16_t port);

}  // namespace vkd::cli
