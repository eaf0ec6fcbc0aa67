#include "cli/arguments.h"

#include <algorithm>

#include "cli/command_line.h"

namespace vkd::cli {

namespace {

// How the words of a line read, told from the declarations alone. An option is a word
// that begins with "--" (but "--" itself) or a declared short name such as -h; the word
// after an option that takes a value, unless it is written NAME=VALUE, is that value; after
// "--" every word is an operand, and so is every other word ("-1" too, so that a negative
// parameter number is refused as a number). CLI11 reads a command's options only after the
// command, so it is handed the command's words, then each option with its value as a word
// of its own (an empty one for "--output="), and no operand: the command takes those.
struct Outline {
  std::vector<std::string> operands;
  std::vector<std::string> names;         // each option by its declared name, in order
  std::vector<std::string> option_words;  // for CLI11
  bool help = false;
  bool version = false;
  std::optional<UsageError> refusal;  // for the first word that cannot be read
};

bool is_option_word(const CommandLine& line, const std::string& word) {
  if (word.starts_with("--")) return word != "--";
  return word.starts_with('-') && line.any_option(word) != nullptr;
}

Outline outline_of(const CommandLine& line, const std::vector<std::string>& words) {
  Outline outline;
  const auto refuse = [&outline](std::string message) {
    if (!outline.refusal) outline.refusal = UsageError{std::move(message)};
  };
  bool operands_only = false;
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& word = words[i];
    if (operands_only || !is_option_word(line, word)) {
      if (word == "--" && !operands_only) {
        operands_only = true;
      } else {
        outline.operands.push_back(word);
      }
      continue;
    }
    const auto equals = word.find('=');
    const std::string given = word.substr(0, equals);
    const CLI::Option* option = line.any_option(given);
    if (option == nullptr) {
      refuse("unknown option " + quoted_word(given));
      continue;
    }
    const std::string name = option->get_name();
    if (std::ranges::find(outline.names, name) != outline.names.end())
      refuse(name + " is given twice");
    outline.names.push_back(name);
    outline.help = outline.help || option == line.root().get_help_ptr();
    outline.version = outline.version || option == line.root().get_version_ptr();
    outline.option_words.push_back(name);
    if (!takes_value(*option)) {
      if (equals != std::string::npos) refuse(name + " takes no value");
    } else if (equals != std::string::npos) {
      outline.option_words.push_back(word.substr(equals + 1));
    } else if (i + 1 < words.size()) {
      outline.option_words.push_back(words[++i]);
    } else {
      refuse(name + " needs a value");
    }
  }
  return outline;
}

// The command the operands begin with: the command, or the group that a line naming no
// command of it names; the refusal when there is no whole command.
struct NamedCommand {
  const CommandDeclaration* declaration = nullptr;
  std::size_t words = 0;  // the operands that name it
  std::optional<UsageError> refusal = std::nullopt;
};

NamedCommand named_command(const CommandLine& line, std::span<const std::string> operands) {
  if (operands.empty()) return {.refusal = UsageError{"no command given"}};
  const CommandDeclaration* command = line.subcommand(line.root(), operands[0]);
  if (command == nullptr)
    return {.refusal = UsageError{"unknown command " + quoted_word(operands[0])}};
  const auto parts = line.parts(*command);
  if (parts.empty()) return {command, 1};
  if (operands.size() > 1) {
    if (const CommandDeclaration* part = line.subcommand(*command->app, operands[1]))
      return {part, 2};
  }
  std::vector<std::string> names;
  for (const CommandDeclaration* part : parts) names.push_back(quoted_word(part->app->get_name()));
  return {command, 1, UsageError{operands[0] + " needs " + listed(names)}};
}

// CLI11 words a failed check "--port: takes ..."; the command line says "--port takes ...".
std::string after_name(std::string message) {
  if (const auto colon = message.find(": "); colon != std::string::npos)
    message.replace(colon, 2, " ");
  return message;
}

// The refusal, if any, of the options and their values, which CLI11 checks.
std::optional<UsageError> option_refusal(CommandLine& line, const CommandDeclaration& command,
                                         std::vector<std::string> words) {
  std::ranges::reverse(words);  // CLI11 takes the last word first
  try {
    line.root().parse(std::move(words));
  } catch (const CLI::RequiresError&) {
    return UsageError{line.missed_need(*command.app)};
  } catch (const CLI::ValidationError& error) {
    return UsageError{after_name(error.what())};
  } catch (const CLI::Error& error) {
    return UsageError{error.what()};
  }
  return std::nullopt;
}

UsageError unexpected(std::span<const std::string> words) {
  return UsageError{"unexpected word " + quoted_word(words.front())};
}

// Help wins over everything but words that cannot be read. So does the version, except
// that it refuses a word that no command takes, as a command does.
OrUsageError<Invocation> parsed(CommandLine& line, const Outline& outline,
                                const NamedCommand& named) {
  if (outline.refusal) return *outline.refusal;
  Invocation& invocation = line.invocation();
  const std::span<const std::string> rest = std::span(outline.operands).subspan(named.words);
  const bool takes_operands = !named.refusal && named.declaration->operands;
  if (outline.help) {
    invocation.command = Command::help;
    if (named.declaration != nullptr) invocation.help_topic = named.declaration->command;
    return invocation;
  }
  if (outline.version) {
    if (!takes_operands && !rest.empty()) return unexpected(rest);
    invocation.command = Command::version;
    return invocation;
  }
  if (named.refusal) return *named.refusal;
  const CommandDeclaration& command = *named.declaration;
  invocation.command = command.command;
  for (const std::string& name : outline.names) {
    if (command.app->get_option_no_throw(name) == nullptr)
      return UsageError{name + " does not apply to this command"};
  }
  std::vector<std::string> words(
      outline.operands.begin(),
      outline.operands.begin() + static_cast<std::ptrdiff_t>(named.words));
  words.insert(words.end(), outline.option_words.begin(), outline.option_words.end());
  if (auto refusal = option_refusal(line, command, std::move(words))) return *refusal;
  if (takes_operands) {
    if (auto refusal = command.operands->take(rest, invocation)) return *refusal;
  } else if (!rest.empty()) {
    return unexpected(rest);
  }
  return invocation;
}

}  // namespace

std::string_view command_name(Command command) {
  switch (command) {
    case Command::hello:
      return "hello";
    case Command::download:
      return "download";
    case Command::empty:
      return "empty";
    case Command::params:
      return "params";
    case Command::params_show:
      return "params show";
    case Command::params_reset:
      return "params reset";
    case Command::collect:
      return "collect";
    case Command::batches:
      return "batches";
    case Command::export_:
      return "export";
    case Command::store:
      return "store";
    case Command::store_init:
      return "store init";
    default:
      return "";
  }
}

OrUsageError<Invocation> parse_arguments(const std::vector<std::string>& arguments) {
  CommandLine line;
  const Outline outline = outline_of(line, arguments);
  const NamedCommand named = named_command(line, outline.operands);
  auto result = parsed(line, outline, named);
  if (auto* refusal = std::get_if<UsageError>(&result); refusal && !named.refusal)
    refusal->command = std::string(command_name(named.declaration->command));
  return result;
}

}  // namespace vkd::cli
