// The clicker command line, as words split from the input at its NUL bytes. A refused
// line carries a message; an accepted one holds only what its command can run with, and
// written back as a command line of its own it means the same again.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "automation/text.h"
#include "cli/arguments.h"
#include "cli/clock_text.h"
#include "fuzz_check.h"

namespace {

using vkd::cli::Command;
using vkd::cli::Format;
using vkd::cli::Invocation;

std::vector<std::string> words_of(std::string_view input) {
  std::vector<std::string> words;
  if (input.empty()) return words;
  for (std::size_t start = 0;;) {
    const std::size_t end = input.find('\0', start);
    words.emplace_back(input.substr(start, end - start));
    if (end == std::string_view::npos) return words;
    start = end + 1;
  }
}

// Every command a refusal may name: all but help and --version, which have no options.
constexpr Command named_commands[] = {
    Command::hello,   Command::download, Command::empty,   Command::params, Command::params_show,
    Command::params_reset, Command::collect, Command::batches, Command::export_, Command::store,
    Command::store_init};

// "params show" -> "params", "show".
std::vector<std::string> command_words(Command command) {
  const std::string_view name = vkd::cli::command_name(command);
  const std::size_t space = name.find(' ');
  if (space == std::string_view::npos) return {std::string(name)};
  return {std::string(name.substr(0, space)), std::string(name.substr(space + 1))};
}

bool among(Command command, std::initializer_list<Command> commands) {
  return std::ranges::find(commands, command) != commands.end();
}

bool in_two_digits(int number) { return number >= 0 && number <= 99; }

bool is_identifier(const std::string& text) {
  return text.size() == 16 && std::ranges::all_of(text, [](char c) {
           return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');
         });
}

// The format a command has when none is given.
Format default_format(Command command) {
  if (command == Command::params_show) return Format::named;
  if (command == Command::export_) return Format::csv;
  return Format::v03;
}

constexpr std::pair<Format, std::string_view> format_names[] = {
    {Format::v03, "v03"},   {Format::v01, "v01"},     {Format::csv, "csv"},
    {Format::json, "json"}, {Format::jsonl, "jsonl"}, {Format::named, "named"},
    {Format::raw, "raw"}};

std::string_view format_name(Format format) {
  return std::ranges::find(format_names, format, &std::pair<Format, std::string_view>::first)
      ->second;
}

void check_refusal(const vkd::cli::UsageError& error) {
  VKD_FUZZ_CHECK(!error.message.empty());
  VKD_FUZZ_CHECK(error.command.empty() || std::ranges::any_of(named_commands, [&](Command command) {
                   return vkd::cli::command_name(command) == error.command;
                 }));
}

void check_accepted(const Invocation& invocation) {
  const Command command = invocation.command;
  const bool scanner_command = among(
      command, {Command::download, Command::empty, Command::params_show, Command::params_reset});
  VKD_FUZZ_CHECK(!invocation.help_topic || command == Command::help);
  const bool collect = command == Command::collect;
  if (invocation.port) VKD_FUZZ_CHECK((scanner_command || collect) && *invocation.port >= 0);
  VKD_FUZZ_CHECK(!invocation.log || scanner_command);

  if (const auto& clock = invocation.set_clock) {
    VKD_FUZZ_CHECK(*clock == "now" || (vkd::cli::is_clock_text(*clock) && !collect));
    VKD_FUZZ_CHECK(command == Command::empty || collect ||
                   (command == Command::download && invocation.empty_after));
  }

  switch (command) {
    case Command::download:
      VKD_FUZZ_CHECK(invocation.format <= Format::jsonl);
      break;
    case Command::params_show:
      VKD_FUZZ_CHECK(invocation.format == Format::named || invocation.format == Format::raw);
      break;
    case Command::collect:
      // The outbox files' form, which needs the outbox.
      VKD_FUZZ_CHECK(invocation.format == Format::v03 ||
                     (invocation.outbox && (invocation.format == Format::csv || invocation.format == Format::jsonl)));
      break;
    case Command::export_:
      VKD_FUZZ_CHECK(invocation.format == Format::csv || invocation.format == Format::json ||
                     invocation.format == Format::jsonl);
      break;
    default:
      VKD_FUZZ_CHECK(invocation.format == Format::v03);
  }
  if (const auto& delimiter = invocation.delimiter) {
    VKD_FUZZ_CHECK(command == Command::download);
    VKD_FUZZ_CHECK(invocation.format == Format::v03 || invocation.format == Format::csv);
    VKD_FUZZ_CHECK(!delimiter->empty());
    const vkd::Text text = vkd::from_utf8(*delimiter);
    VKD_FUZZ_CHECK(vkd::to_utf8(text) == *delimiter);  // valid UTF-8
    VKD_FUZZ_CHECK(delimiter->find_first_of("0123456789") == std::string::npos);
    if (invocation.format == Format::csv) {
      const bool one_code_point =
          text.size() == 1 || (text.size() == 2 && text[0] >= 0xD800 && text[0] <= 0xDBFF);
      VKD_FUZZ_CHECK(one_code_point && *delimiter != "\"" && *delimiter != "\r" &&
                     *delimiter != "\n");
    }
  }

  if (invocation.output)
    VKD_FUZZ_CHECK((command == Command::download || command == Command::export_) && !invocation.output->empty());
  if (invocation.append)
    VKD_FUZZ_CHECK(command == Command::download && invocation.output && invocation.format != Format::json);
  VKD_FUZZ_CHECK(!invocation.empty_after || command == Command::download);
  if (invocation.wait_seconds)
    VKD_FUZZ_CHECK((command == Command::download || (collect && invocation.once)) && *invocation.wait_seconds >= 0);

  const bool store_command = among(command, {Command::collect, Command::batches, Command::export_, Command::store_init});
  if (invocation.store) VKD_FUZZ_CHECK(store_command && !invocation.store->empty());
  if (invocation.station) VKD_FUZZ_CHECK(collect && !invocation.station->empty());
  if (invocation.outbox) VKD_FUZZ_CHECK(collect && !invocation.outbox->empty());
  if (invocation.exec) VKD_FUZZ_CHECK(collect && !invocation.exec->empty());
  VKD_FUZZ_CHECK(!invocation.once || collect);
  VKD_FUZZ_CHECK(invocation.poll_seconds == 3 || collect);
  VKD_FUZZ_CHECK(invocation.poll_seconds >= 1 && invocation.poll_seconds <= 3600);
  if (const auto& since = invocation.since) {
    VKD_FUZZ_CHECK(command == Command::batches || command == Command::export_);
    VKD_FUZZ_CHECK(vkd::cli::is_iso_8601_date_time(*since));
  }
  if (invocation.batch) VKD_FUZZ_CHECK(command == Command::export_ && *invocation.batch >= 0 && !invocation.since);
  if (invocation.scanner) VKD_FUZZ_CHECK(command == Command::batches && is_identifier(*invocation.scanner));

  VKD_FUZZ_CHECK(invocation.parameters.empty() || command == Command::params_show);
  VKD_FUZZ_CHECK(invocation.settings.empty() || command == Command::params_reset);
  VKD_FUZZ_CHECK(invocation.parameters.size() <= 99 && invocation.settings.size() <= 99);
  VKD_FUZZ_CHECK(std::ranges::all_of(invocation.parameters, in_two_digits));
  VKD_FUZZ_CHECK(std::ranges::all_of(invocation.settings, [](const auto& setting) {
    return in_two_digits(setting.number) && in_two_digits(setting.value);
  }));
  VKD_FUZZ_CHECK(vkd::cli::show_list(invocation.parameters).size() ==
                 2 + 2 * invocation.parameters.size());
  VKD_FUZZ_CHECK(vkd::cli::reset_list(invocation.settings).size() ==
                 2 + 4 * invocation.settings.size());
}

// The invocation as the words of one canonical command line: options in their NAME=VALUE
// form after the command, so that a value that looks like an option stays a value.
std::vector<std::string> written_back(const Invocation& invocation) {
  if (invocation.command == Command::version) return {"--version"};
  if (invocation.command == Command::help) {
    std::vector<std::string> words;
    if (invocation.help_topic) words = command_words(*invocation.help_topic);
    words.emplace_back("--help");
    return words;
  }
  std::vector<std::string> words = command_words(invocation.command);
  if (invocation.format != default_format(invocation.command))
    words.push_back("--format=" + std::string(format_name(invocation.format)));
  if (invocation.delimiter) words.push_back("--delimiter=" + *invocation.delimiter);
  if (invocation.port) words.push_back("--port=" + std::to_string(*invocation.port));
  if (invocation.set_clock) words.push_back("--set-clock=" + *invocation.set_clock);
  if (invocation.log) words.emplace_back("--log");
  if (invocation.output) words.push_back("--output=" + *invocation.output);
  if (invocation.append) words.emplace_back("--append");
  if (invocation.empty_after) words.emplace_back("--empty");
  if (invocation.once) words.emplace_back("--once");
  if (invocation.wait_seconds)
    words.push_back("--wait=" + std::to_string(*invocation.wait_seconds));
  if (invocation.store) words.push_back("--store=" + *invocation.store);
  if (invocation.station) words.push_back("--station=" + *invocation.station);
  if (invocation.poll_seconds != 3) words.push_back("--poll=" + std::to_string(invocation.poll_seconds));
  if (invocation.outbox) words.push_back("--outbox=" + *invocation.outbox);
  if (invocation.exec) words.push_back("--exec=" + *invocation.exec);
  if (invocation.since) words.push_back("--since=" + *invocation.since);
  if (invocation.batch) words.push_back("--batch=" + std::to_string(*invocation.batch));
  if (invocation.scanner) words.push_back("--scanner=" + *invocation.scanner);
  for (const int number : invocation.parameters) words.push_back(std::to_string(number));
  for (const auto& setting : invocation.settings)
    words.push_back(std::to_string(setting.number) + "=" + std::to_string(setting.value));
  return words;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const auto words = words_of(std::string_view(reinterpret_cast<const char*>(data), size));
  const auto parsed = vkd::cli::parse_arguments(words);
  if (const auto* refusal = std::get_if<vkd::cli::UsageError>(&parsed)) {
    check_refusal(*refusal);
    return 0;
  }
  const auto& invocation = std::get<Invocation>(parsed);
  check_accepted(invocation);
  const auto reparsed = vkd::cli::parse_arguments(written_back(invocation));
  VKD_FUZZ_CHECK(std::holds_alternative<Invocation>(reparsed));
  VKD_FUZZ_CHECK(std::get<Invocation>(reparsed) == invocation);
  return 0;
}
