#include "cli/help_text.h"

#include <algorithm>

#include "cli/command_line.h"

namespace vkd::cli {

namespace {

constexpr std::size_t line_width = 80;
constexpr std::size_t section_indent = 6;  // a command's description and options
constexpr std::size_t widest_name_column = 18;

// "--output FILE", "--help, -h".
std::string usage(const CLI::Option& option) {
  std::string text;
  for (const std::string& name : option.get_lnames()) text += (text.empty() ? "--" : ", --") + name;
  for (const std::string& name : option.get_snames()) text += (text.empty() ? "-" : ", -") + name;
  if (takes_value(option)) text += " " + option.get_type_name();
  return text;
}

// `words` joined by blanks in lines of line_width at most: the first goes on from
// `column`, the others begin after `indent` blanks.
std::string wrapped(const std::vector<std::string>& words, std::size_t column, std::size_t indent) {
  std::string text;
  bool line_start = true;
  for (const std::string& word : words) {
    if (!line_start && column + 1 + word.size() > line_width) {
      text += "\n" + std::string(indent, ' ');
      column = indent;
      line_start = true;
    }
    if (!line_start) {
      text += ' ';
      ++column;
    }
    text += word;
    column += word.size();
    line_start = false;
  }
  return text + "\n";
}

std::vector<std::string> words_of(std::string_view text) {
  std::vector<std::string> words;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find(' ', start), text.size());
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

// Text laid out by hand (the formats' table), each line moved right by `indent`.
std::string indented(std::string_view text, std::size_t indent) {
  std::string out;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find('\n', start), text.size());
    out += std::string(indent, ' ');
    out += text.substr(start, end - start);
    out += '\n';
    start = end + 1;
  }
  return out;
}

// The options a command lists itself: not the help, which the general options name.
std::vector<const CLI::Option*> own_options(const CLI::App& app) {
  return app.get_options(
      [&app](const CLI::Option* option) { return option != app.get_help_ptr(); });
}

// An option in its brackets, with those that need it inside: "[--output FILE [--append]]".
std::string bracketed(const CLI::App& app, const CLI::Option& option) {
  std::string text = "[" + usage(option);
  for (const CLI::Option* other : own_options(app)) {
    const auto& needs = other->get_needs();
    if (std::ranges::find(needs, &option) != needs.end()) text += " " + bracketed(app, *other);
  }
  return text + "]";
}

// "  download [--format v03|v01|csv|json|jsonl] ...", wrapped under its first option.
std::string synopsis(const CommandDeclaration& command) {
  const std::string name(command_name(command.command));
  std::vector<std::string> parts = {name};
  if (command.operands) parts.push_back(command.operands->synopsis);
  for (const CLI::Option* option : own_options(*command.app)) {
    if (option->get_needs().empty()) parts.push_back(bracketed(*command.app, *option));
  }
  return "  " + wrapped(parts, 2, 2 + name.size() + 1);
}

// The options in a column and what each does beside it; an option that needs another
// says so first.
std::string option_list(const std::vector<const CLI::Option*>& options, std::size_t indent) {
  std::size_t column = 0;
  for (const CLI::Option* option : options) column = std::max(column, usage(*option).size());
  column = indent + std::min(column, widest_name_column) + 2;
  std::string text;
  for (const CLI::Option* option : options) {
    const std::string name = usage(*option);
    text += std::string(indent, ' ') + name;
    std::size_t at = indent + name.size();
    if (at + 2 > column) {
      text += "\n";
      at = 0;
    }
    text += std::string(column - at, ' ');
    std::string description;
    for (const CLI::Option* needed : option->get_needs())
      description += "with " + needed->get_name() + ": ";
    text += wrapped(words_of(description + option->get_description()), column, column);
  }
  return text;
}

std::string section(const CommandDeclaration& command) {
  std::string text = synopsis(command) + indented(command.app->get_description(), section_indent);
  std::vector<const CLI::Option*> options;
  for (const CLI::Option* option : own_options(*command.app)) {
    if (option->get_group() != shared_options) options.push_back(option);
  }
  text += option_list(options, section_indent);
  if (!command.app->get_footer().empty())
    text += indented(command.app->get_footer(), section_indent);
  return text;
}

// The commands' shared options, each once, then the general ones.
std::string general_options(const CommandLine& line,
                            const std::vector<const CommandDeclaration*>& commands) {
  std::vector<const CLI::Option*> options;
  for (const CommandDeclaration* command : commands) {
    for (const CLI::Option* option : own_options(*command->app)) {
      const bool listed = std::ranges::any_of(options, [option](const CLI::Option* other) {
        return other->get_name() == option->get_name();
      });
      if (option->get_group() == shared_options && !listed) options.push_back(option);
    }
  }
  for (const CLI::Option* option : line.root().get_options()) options.push_back(option);
  return "\nOptions:\n" + option_list(options, 2) + "\n" + line.root().get_footer() + "\n";
}

std::string help_of(const CommandLine& line, const std::string& usage_name,
                    const std::vector<const CommandDeclaration*>& commands,
                    const std::string& introduction) {
  std::string text = "Usage: clicker " + usage_name + " [OPTIONS]\n\n" + introduction;
  for (const CommandDeclaration* command : commands) text += section(*command);
  return text + general_options(line, commands);
}

}  // namespace

std::string help_text() {
  const CommandLine line;
  std::vector<const CommandDeclaration*> commands;
  for (const CommandDeclaration& command : line.commands()) {
    if (line.parts(command).empty()) commands.push_back(&command);
  }
  return help_of(line, "COMMAND", commands, line.root().get_description() + "\n\nCommands:\n");
}

std::string command_help(Command command) {
  const CommandLine line;
  const CommandDeclaration& declaration = line.declaration(command);
  std::vector<const CommandDeclaration*> commands = line.parts(declaration);
  if (commands.empty())
    return help_of(line, std::string(command_name(command)), {&declaration}, "");
  std::vector<std::string> names;
  for (const CommandDeclaration* part : commands) names.push_back(part->app->get_name());
  return help_of(line, std::string(command_name(command)) + " " + CLI::detail::join(names, "|"),
                 commands, indented(declaration.app->get_description(), 0) + "\n");
}

}  // namespace vkd::cli
