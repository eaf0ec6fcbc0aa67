#pragma once
// A command that talks to the scanner, from its start to its exit status: what it runs on,
// the port it was given or remembered, the connection logs of its conversations (for
// --log), and the messages for standard error, printed once the conversations are done.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "automation/error.h"
#include "automation/text.h"
#include "cli/arguments.h"
#include "cli/exit_code.h"
#include "cli/progress_host.h"
#include "cli/run.h"

namespace vkd::cli {

class ScannerSession {
 public:
  ScannerSession(const Invocation& given, Environment& environment_of_run, ProgressHost& waits,
                 std::optional<std::int16_t> port_of_run)
      : invocation(given), environment(environment_of_run), host(waits), port(port_of_run) {}

  const Invocation& invocation;
  Environment& environment;
  ProgressHost& host;
  std::optional<std::int16_t> port;  // given, or remembered from the last run

  std::vector<Text> logs;
  std::string messages;
  int exit_code = exit_ok;
  // What an overflow (error 6) means where the command stands.
  std::string overflow_cause = "the scanner holds more than 32,767 records, more than one download can take";

  Library& library() const { return environment.library; }
  // Adds a message; exit_failure, once given, is what the command ends with.
  void complain(int code, const std::string& message);
  void failed(const Error& error);
  // The port on which the scanner answered, for the next run.
  void remember(std::int16_t answered) const;
  // The log of a conversation, kept for --log.
  Text& new_log() { return logs.emplace_back(); }
  // The clock text of --set-clock, "now" read at this moment; empty without it.
  Text clock_text() const;
};

// "clicker: the scanner did not answer on port 5\n".
std::string did_not_answer(std::int16_t port);

}  // namespace vkd::cli
