#pragma once
// The clicker command line as CLI11 declares it: one subcommand per command, with the
// options, checks and needs of each written once, in its own function of
// command_declarations.cpp, and bound to the Invocation they fill. The parser
// (arguments.cpp) and the help (help_text.cpp) read these declarations alone.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include <CLI/CLI.hpp>

#include "cli/arguments.h"

namespace vkd::cli {

// The group of an option that several commands declare alike (--port, --log): the
// general help describes it once, after the commands.
inline const std::string shared_options = "shared";

// Whether the option takes a value (--port N) or stands alone (--log).
inline bool takes_value(const CLI::Option& option) { return option.get_expected_max() > 0; }

// What a command does with the words that are not options: fills the invocation, or says
// why not.
struct Operands {
  std::string synopsis;  // "N...", "[N=V...]"
  std::function<std::optional<UsageError>(std::span<const std::string>, Invocation&)> take;
};

struct CommandDeclaration {
  Command command;
  CLI::App* app;
  std::optional<Operands> operands;  // none: it takes none
};

class CommandLine {
 public:
  // Every command of command_declarations.cpp, bound to invocation().
  CommandLine();
  CommandLine(const CommandLine&) = delete;
  CommandLine& operator=(const CommandLine&) = delete;

  Invocation& invocation() { return invocation_; }
  CLI::App& root() { return *root_; }
  const CLI::App& root() const { return *root_; }
  // In the order the general help lists them; a command of two words ("params show")
  // after the one that groups them ("params").
  const std::vector<CommandDeclaration>& commands() const { return commands_; }
  const CommandDeclaration& declaration(Command command) const;
  // The command `parent` has by this name, if any.
  const CommandDeclaration* subcommand(const CLI::App& parent, const std::string& name) const;
  // The commands of a group such as params; empty for a command that stands alone.
  std::vector<const CommandDeclaration*> parts(const CommandDeclaration& group) const;

  // The option of this name ("--port", "-h") on any command, for telling how its words
  // read: an option's name means the same kind of option wherever it is declared.
  const CLI::Option* any_option(const std::string& name) const;

  // The refusal for the first need the parsed command misses ("--append needs --output
  // FILE"), in the order CLI11 checks them.
  std::string missed_need(const CLI::App& app) const;

  // For the declarations. A command's name is command_name(command); one of two words goes
  // into the group its first word names, declared before it with add_command too.
  CLI::App& add_command(Command command, std::string description, std::string footer = {});
  void add_operands(Command command, Operands operands);
  // `option` needs `needed`; `reason` ends the refusal.
  void needs(CLI::Option* option, CLI::Option* needed, std::string reason = {});

 private:
  Invocation invocation_;
  std::unique_ptr<CLI::App> root_;
  std::vector<CommandDeclaration> commands_;
  std::map<std::pair<const CLI::Option*, const CLI::Option*>, std::string> reasons_;
};

// command_declarations.cpp: the general options and every command.
void declare_commands(CommandLine& line);

}  // namespace vkd::cli
