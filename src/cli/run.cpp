#include "cli/run.h"

#include "automation/error.h"
#include "cli/download_command.h"
#include "cli/help_text.h"
#include "cli/output_destination.h"
#include "cli/platform.h"
#include "cli/progress_host.h"
#include "cli/scanner_commands.h"
#include "cli/state_file.h"

namespace vkd::cli {

namespace {

std::optional<std::int16_t> chosen_port(const Invocation& invocation, Environment& environment) {
  if (invocation.port || !environment.state_file) return invocation.port;
  return read_remembered_port(*environment.state_file, environment.earlier_state_file,
                              environment.err);
}

Outcome run_on_scanner(Clicker& clicker, Host& host, const Invocation& invocation,
                       std::int16_t port) {
  switch (invocation.command) {
    case Command::empty:
      return empty(clicker, invocation, port);
    case Command::params_show:
      return params_show(clicker, invocation, port);
    case Command::params_reset:
      return params_reset(clicker, invocation, port);
    default:
      return download(clicker, host, invocation);
  }
}

// The error numbers a user meets on the command line, said in the command's own terms.
std::string error_complaint(const Error& error) {
  std::string complaint = "clicker: error " + std::to_string(error.number()) + ": " +
                          to_utf8(error.description()) + "\n";
  if (error.code() == ErrorNumber::overflow) {
    complaint += "clicker: the scanner holds more than 32,767 records, more than one download "
                 "can take\n";
  } else if (error.code() == ErrorNumber::file_not_found) {
    complaint += "clicker: " + library_search_text() + "\n";
  }
  return complaint;
}

// Writes the data, then remembers the port, then runs what had to wait for both.
void deliver_outcome(Outcome& outcome, const Invocation& invocation, Environment& environment) {
  if (outcome.output) {
    if (const auto failure =
            deliver(environment.out, environment.err, destination_of(invocation), outcome.output)) {
      outcome.exit_code = exit_failure;
      outcome.complaint += *failure;
      return;
    }
  }
  if (outcome.answered_port && environment.state_file)
    remember_port(*environment.state_file, *outcome.answered_port, environment.err);
  if (outcome.after_delivery && outcome.exit_code == exit_ok) outcome.after_delivery(outcome);
}

int scanner_command(const Invocation& invocation, Environment& environment) {
  const auto port = chosen_port(invocation, environment);
  if (!port && invocation.command != Command::download) {
    environment.err
        << "clicker: no port is known: give --port N, or run 'clicker download' once so that "
           "the port on which the scanner answers is remembered\n";
    return exit_not_done;
  }
  ProgressHost host(environment.host, environment.err, environment.err_is_terminal);
  Clicker clicker(environment.library, host);
  if (port) clicker.let_lastport(Variant(std::int32_t{*port}));
  Outcome outcome;
  try {
    outcome = run_on_scanner(clicker, host, invocation, port.value_or(0));
    host.finish();
    deliver_outcome(outcome, invocation, environment);
  } catch (const Error& error) {
    outcome.exit_code = exit_failure;
    outcome.complaint += error_complaint(error);
  }
  host.finish();
  if (invocation.log) environment.err << to_utf8(clicker.log()) << "\n";
  environment.err << outcome.complaint << std::flush;
  return outcome.exit_code;
}

int print(Environment& environment, std::string_view text) {
  if (const auto failure = write_to_stream(environment.out, text)) {
    environment.err << "clicker: cannot write output: " << *failure << "\n";
    return exit_failure;
  }
  return exit_ok;
}

}  // namespace

int execute(const Invocation& invocation, Environment& environment) {
  switch (invocation.command) {
    case Command::help:
      return print(environment, invocation.help_topic ? command_help(*invocation.help_topic)
                                                      : help_text());
    case Command::version:
      return print(environment, std::string("clicker ") + std::string(version_text) + "\n");
    case Command::hello:
      return print(environment, to_utf8(Clicker::hello()) + "\n");
    default:
      return scanner_command(invocation, environment);
  }
}

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto parsed = parse_arguments(arguments);
  if (const auto* refusal = std::get_if<UsageError>(&parsed)) {
    const std::string help =
        refusal->command.empty() ? "clicker --help" : "clicker " + refusal->command + " --help";
    err << "clicker: " << refusal->message << "\nTry '" << help << "'.\n";
    return exit_failure;
  }
  PortableHost host;
  Environment environment{.library = installed_library(),
                          .host = host,
                          .out = out,
                          .err = err,
                          .err_is_terminal = standard_error_is_terminal(),
                          .state_file = default_state_file(),
                          .earlier_state_file = earlier_state_file()};
  return execute(std::get<Invocation>(parsed), environment);
}

}  // namespace vkd::cli
