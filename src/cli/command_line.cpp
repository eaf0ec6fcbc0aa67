#include "cli/command_line.h"

#include <algorithm>

namespace vkd::cli {

CommandLine::CommandLine() : root_(std::make_unique<CLI::App>("", "clicker")) {
  declare_commands(*this);
}

const CommandDeclaration& CommandLine::declaration(Command command) const {
  return *std::ranges::find(commands_, command, &CommandDeclaration::command);
}

const CommandDeclaration* CommandLine::subcommand(const CLI::App& parent,
                                                  const std::string& name) const {
  const auto found = std::ranges::find_if(commands_, [&](const CommandDeclaration& command) {
    return command.app->get_parent() == &parent && command.app->get_name() == name;
  });
  return found == commands_.end() ? nullptr : &*found;
}

std::vector<const CommandDeclaration*> CommandLine::parts(const CommandDeclaration& group) const {
  std::vector<const CommandDeclaration*> found;
  for (const CommandDeclaration& command : commands_) {
    if (command.app->get_parent() == group.app) found.push_back(&command);
  }
  return found;
}

const CLI::Option* CommandLine::any_option(const std::string& name) const {
  if (const CLI::Option* option = root_->get_option_no_throw(name)) return option;
  for (const CommandDeclaration& command : commands_) {
    if (const CLI::Option* option = command.app->get_option_no_throw(name)) return option;
  }
  return nullptr;
}

std::string CommandLine::missed_need(const CLI::App& app) const {
  for (const CLI::Option* option : app.get_options()) {
    if (option->count() == 0) continue;
    for (const CLI::Option* needed : option->get_needs()) {
      if (needed->count() > 0) continue;
      std::string refusal = option->get_name();
      // Where other commands take the option without this need, the refusal says whose it is.
      const bool elsewhere = std::ranges::any_of(commands_, [&](const CommandDeclaration& other) {
        return other.app != &app && other.app->get_option_no_throw(option->get_name()) != nullptr;
      });
      if (elsewhere) {
        const auto own = std::ranges::find(commands_, &app, &CommandDeclaration::app);
        refusal += " for " + std::string(command_name(own->command));
      }
      refusal += " needs " + needed->get_name();
      if (takes_value(*needed)) refusal += " " + needed->get_type_name();
      const std::string& reason = reasons_.at({option, needed});
      if (!reason.empty()) refusal += ": " + reason;
      return refusal;
    }
  }
  return {};
}

CLI::App& CommandLine::add_command(Command command, std::string description, std::string footer) {
  const std::string name(command_name(command));
  CLI::App* parent = root_.get();
  std::string own_name = name;
  if (const auto space = name.find(' '); space != std::string::npos) {
    parent = subcommand(*root_, name.substr(0, space))->app;
    own_name = name.substr(space + 1);
  }
  CLI::App* app = parent->add_subcommand(own_name, std::move(description));
  app->footer(std::move(footer));
  commands_.push_back({command, app, std::nullopt});
  return *app;
}

void CommandLine::add_operands(Command command, Operands operands) {
  std::ranges::find(commands_, command, &CommandDeclaration::command)->operands =
      std::move(operands);
}

void CommandLine::needs(CLI::Option* option, CLI::Option* needed, std::string reason) {
  option->needs(needed);
  reasons_[{option, needed}] = std::move(reason);
}

}  // namespace vkd::cli
