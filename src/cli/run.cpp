#include "cli/run.h"

#include "automation/error.h"
#include "cli/download_command.h"
#include "cli/help_text.h"
#include "cli/output_destination.h"
#include "cli/platform.h"
#include "cli/progress_host.h"
#include "cli/scanner_commands.h"
#include "cli/scanner_session.h"
#include "cli/state_file.h"
#include "cli/store_commands.h"
#include "component/clicker.h"

namespace vkd::cli {

namespace {

std::optional<std::int16_t> chosen_port(const Invocation& invocation, Environment& environment) {
  if (invocation.port || !environment.state_file) return invocation.port;
  return read_remembered_port(*environment.state_file, environment.err);
}

void run_on_scanner(ScannerSession& session) {
  switch (session.invocation.command) {
    case Command::empty:
      return empty_command(session);
    case Command::params_show:
      return params_show_command(session);
    case Command::params_reset:
      return params_reset_command(session);
    default:
      return download_command(session);
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
  ScannerSession session(invocation, environment, host, port);
  try {
    run_on_scanner(session);
  } catch (const Error& error) {
    session.failed(error);
  }
  host.finish();
  if (invocation.log) {
    for (const Text& log : session.logs) environment.err << to_utf8(log) << "\n";
  }
  environment.err << session.messages << std::flush;
  return session.exit_code;
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
      return print(environment, invocation.help_topic ? command_help(*invocation.help_topic) : help_text());
    case Command::version:
      return print(environment, std::string("clicker ") + std::string(version_text) + "\n");
    case Command::hello:
      return print(environment, to_utf8(greeting) + "\n");
    case Command::collect:
      return collect_command(invocation, environment);
    case Command::batches:
      return batches_command(invocation, environment);
    case Command::export_:
      return export_command(invocation, environment);
    case Command::store_init:
      return store_init_command(invocation, environment);
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
                          .state_file = default_state_file()};
  return execute(std::get<Invocation>(parsed), environment);
}

}  // namespace vkd::cli
