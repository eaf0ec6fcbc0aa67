#include "cli/run.h"

#include "automation/error.h"
#include "cli/help_text.h"
#include "cli/platform.h"
#include "cli/progress_host.h"
#include "cli/scanner_commands.h"
#include "cli/state_file.h"

namespace vkd::cli {

namespace {

std::optional<std::int16_t> chosen_port(const Invocation& invocation, Environment& environment) {
  if (invocation.port || !environment.state_file) return invocation.port;
  return read_remembered_port(*environment.state_file, environment.err);
}

Outcome run_on_scanner(Clicker& clicker, const Invocation& invocation, std::int16_t port) {
  switch (invocation.command) {
    case Command::empty:
      return empty(clicker, invocation, port);
    case Command::params_show:
      return params_show(clicker, invocation);
    case Command::params_reset:
      return params_reset(clicker, invocation, port);
    default:
      return download(clicker, invocation);
  }
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
    outcome = run_on_scanner(clicker, invocation, port.value_or(0));
  } catch (const Error& error) {
    outcome = Outcome::ending(exit_failure, "clicker: error " + std::to_string(error.number()) +
                                                ": " + to_utf8(error.description()) + "\n");
  }
  host.finish();
  environment.out << outcome.output << std::flush;
  if (invocation.log) environment.err << to_utf8(clicker.log()) << "\n";
  environment.err << outcome.complaint;
  if (outcome.answered_port && environment.state_file) {
    remember_port(*environment.state_file, *outcome.answered_port, environment.err);
  }
  return outcome.exit_code;
}

}  // namespace

int execute(const Invocation& invocation, Environment& environment) {
  switch (invocation.command) {
    case Command::help:
      environment.out << help_text();
      return exit_ok;
    case Command::version:
      environment.out << version_text << "\n";
      return exit_ok;
    case Command::hello:
      environment.out << to_utf8(Clicker::hello()) << "\n";
      return exit_ok;
    default:
      return scanner_command(invocation, environment);
  }
}

int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err) {
  const auto parsed = parse_arguments(arguments);
  if (const auto* refusal = std::get_if<UsageError>(&parsed)) {
    err << "clicker: " << refusal->message << "\nTry 'clicker --help'.\n";
    return exit_failure;
  }
  PortableHost host;
  Environment environment{.library = installed_library(),
                          .host = host,
                          .out = out,
                          .err = err,
                          .err_is_terminal = standard_error_is_terminal(),
                          .state_file = default_state_file()};
  return execute(std::get<Invocation>(parsed), environment);
}

}  // namespace vkd::cli
