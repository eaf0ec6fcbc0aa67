#pragma once
// The commands that talk to the scanner. Each runs one operation of the Clicker object
// and says what to print and how the command ends; printing is left to the caller, which
// first clears the progress line.
#include <cstdint>
#include <optional>
#include <string>

#include "cli/arguments.h"
#include "cli/exit_code.h"
#include "component/clicker.h"

namespace vkd::cli {

struct Outcome {
  int exit_code = exit_ok;
  std::string output;     // for standard output
  std::string complaint;  // for standard error
  // The port on which the scanner answered, to be remembered for the next run.
  std::optional<std::int16_t> answered_port;

  static Outcome printing(std::string output,
                          std::optional<std::int16_t> answered_port = std::nullopt) {
    return {exit_ok, std::move(output), {}, answered_port};
  }
  static Outcome ending(int exit_code, std::string complaint) {
    return {exit_code, {}, std::move(complaint), {}};
  }
};

// `port` is the port the command was given or remembered; download searches from it,
// the others use it alone.
Outcome download(Clicker& clicker, const Invocation& invocation);
Outcome empty(Clicker& clicker, const Invocation& invocation, std::int16_t port);
Outcome params_show(Clicker& clicker, const Invocation& invocation);
Outcome params_reset(Clicker& clicker, const Invocation& invocation, std::int16_t port);

}  // namespace vkd::cli
