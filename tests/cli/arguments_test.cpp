#include "cli/arguments.h"

#include <gtest/gtest.h>

namespace vkd::cli {
namespace {

using Words = std::vector<std::string>;

Invocation accepted(const Words& words) {
  auto parsed = parse_arguments(words);
  if (const auto* refusal = std::get_if<UsageError>(&parsed)) {
    ADD_FAILURE() << "refused: " << refusal->message;
    return {};
  }
  return std::get<Invocation>(parsed);
}

TEST(Arguments, CommandsAndTheirOptions) {
  const Invocation plain = accepted({"download"});
  EXPECT_EQ(plain.command, Command::download);
  EXPECT_EQ(plain.format, Format::v03);
  EXPECT_FALSE(plain.delimiter || plain.port || plain.set_clock || plain.log);

  // Options may stand before the command, and take their value after "=" or as the next word.
  const Invocation csv =
      accepted({"--log", "download", "--format=csv", "--delimiter", ";", "--port", "12"});
  EXPECT_EQ(csv.format, Format::csv);
  EXPECT_EQ(csv.delimiter, ";");
  EXPECT_EQ(csv.port, 12);
  EXPECT_TRUE(csv.log);

  EXPECT_EQ(accepted({"download", "--delimiter", "--"}).delimiter, "--");  // a value, not an option
  EXPECT_EQ(accepted({"download", "--port", "0"}).port, 0);
  EXPECT_EQ(accepted({"download", "--port", "32767"}).port, 32767);
  EXPECT_EQ(accepted({"empty", "--set-clock", "now"}).set_clock, "now");
  EXPECT_EQ(accepted({"empty", "--set-clock", "000024290200"}).set_clock, "000024290200");
  EXPECT_EQ(accepted({"hello"}).command, Command::hello);

  const Invocation safe =
      accepted({"download", "--output", "scans.csv", "--append", "--format", "csv", "--empty",
                "--set-clock", "2024-05-15T09:30:00", "--wait", "30"});
  EXPECT_EQ(safe.output, "scans.csv");
  EXPECT_TRUE(safe.append && safe.empty_after);
  EXPECT_EQ(safe.set_clock, "003009150524");  // the ISO form becomes the scanner's, seconds first
  EXPECT_EQ(safe.wait_seconds, 30);
  EXPECT_EQ(accepted({"download", "--format", "jsonl"}).format, Format::jsonl);
  EXPECT_EQ(accepted({"params", "show", "1"}).format, Format::named);
  EXPECT_EQ(accepted({"params", "show", "1", "--format", "raw"}).format, Format::raw);
}

TEST(Arguments, ParameterOperands) {
  const Invocation show = accepted({"params", "show", "1", "5", "12"});
  EXPECT_EQ(show.command, Command::params_show);
  EXPECT_EQ(show.parameters, (std::vector<int>{1, 5, 12}));

  const Invocation reset = accepted({"params", "reset", "1=5", "--port", "3", "12=03"});
  EXPECT_EQ(reset.command, Command::params_reset);
  EXPECT_EQ(reset.settings, (std::vector<ParameterSetting>{{1, 5}, {12, 3}}));
  EXPECT_EQ(reset.port, 3);

  EXPECT_TRUE(accepted({"params", "reset"}).settings.empty());
  EXPECT_EQ(accepted({"params", "show", "0", "99"}).parameters, (std::vector<int>{0, 99}));
}

TEST(Arguments, HelpAndVersionWinOverEverythingElse) {
  const Invocation download_help = accepted({"download", "--format", "xml", "--help"});
  EXPECT_EQ(download_help.command, Command::help);
  EXPECT_EQ(download_help.help_topic, Command::download);
  EXPECT_EQ(accepted({"-h"}).command, Command::help);
  EXPECT_EQ(accepted({"-h"}).help_topic, std::nullopt);
  EXPECT_EQ(accepted({"--version", "empty"}).command, Command::version);
}

TEST(Arguments, RefusalsSayWhatIsWrong) {
  const Words hundred_numbers = [] {
    Words words = {"params", "show"};
    words.insert(words.end(), 100, "1");
    return words;
  }();
  const struct {
    Words words;
    std::string message;
  } cases[] = {
      {{}, "no command given"},
      {{"fetch"}, "unknown command 'fetch'"},
      {{"params"}, "params needs 'show' or 'reset'"},
      {{"params", "list"}, "params needs 'show' or 'reset'"},
      {{"download", "now"}, "unexpected word 'now'"},
      {{"download", "--verbose"}, "unknown option '--verbose'"},
      {{"download", "--port"}, "--port needs a value"},
      {{"download", "--log=yes"}, "--log takes no value"},
      {{"download", "--port", "1", "--port=2"}, "--port is given twice"},
      {{"download", "--format", "xml"}, "--format takes v03, v01, csv, json or jsonl, not 'xml'"},
      {{"download", "--format", "V03"}, "--format takes v03, v01, csv, json or jsonl, not 'V03'"},
      {{"params", "show", "1", "--format", "csv"}, "--format of params show takes raw, not 'csv'"},
      {{"download", "--append"}, "--append needs --output FILE"},
      {{"download", "--output="}, "--output needs a file name"},
      {{"download", "--output", "f", "--append", "--format", "json"},
       "--append does not take --format json: a second document would spoil the file (use "
       "jsonl)"},
      {{"download", "--wait", "1.5"}, "--wait takes a whole number of seconds, not '1.5'"},
      {{"empty", "--output", "f"}, "--output does not apply to this command"},
      {{"download", "--delimiter="}, "--delimiter needs at least one character"},
      {{"download", "--format", "csv", "--delimiter", "::"},
       "--delimiter for csv is one character other than a quote or a line break"},
      {{"download", "--format", "csv", "--delimiter", "\""},
       "--delimiter for csv is one character other than a quote or a line break"},
      {{"download", "--format", "json", "--delimiter", ";"},
       "--delimiter applies to --format v03 and csv only"},
      {{"empty", "--format", "csv"}, "--format does not apply to this command"},
      {{"download", "--set-clock", "now"},
       "--set-clock for download needs --empty: the clock is set as it is emptied"},
      {{"hello", "--log"}, "--log does not apply to this command"},
      {{"download", "--port", "-1"}, "--port takes a port number from 0 to 32767, not '-1'"},
      {{"download", "--port", "32768"}, "--port takes a port number from 0 to 32767, not '32768'"},
      {{"download", "--port", "3.0"}, "--port takes a port number from 0 to 32767, not '3.0'"},
      {{"empty", "--set-clock", "00002429020"},
       "--set-clock takes 'now', a local date and time YYYY-MM-DDTHH:MM:SS (years 2000-2099) "
       "or SSMMHHDDMMYY (seconds first), not '00002429020'"},
      {{"params", "show", "1", "100"}, "parameter number 100 is outside 0-99"},
      {{"params", "show", ""}, "parameter number '' is not a whole number from 0 to 99"},
      {{"params", "show", "+1"}, "parameter number '+1' is not a whole number from 0 to 99"},
      {{"params", "reset", "12=100"}, "value 100 of parameter 12 is outside 0-99"},
      {{"params", "reset", "=5"}, "parameter number '' is not a whole number from 0 to 99"},
      {{"params", "reset", "5=x"}, "value 'x' of parameter 5 is not a whole number from 0 to 99"},
      {{"params", "reset", "5"}, "'5' is not a setting of the form NUMBER=VALUE"},
      {hundred_numbers, "at most 99 parameters fit in one list, 100 were given"},
  };
  for (const auto& [words, message] : cases) {
    const auto parsed = parse_arguments(words);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << message;
    EXPECT_EQ(std::get<UsageError>(parsed).message, message);
  }
}

// One character is one code point, of one to four bytes; a byte that is no UTF-8 would
// make the output no UTF-8 either.
TEST(Arguments, DelimiterIsUtf8AndACsvDelimiterOneCodePointOfIt) {
  const struct {
    std::string format;
    std::string delimiter;
    std::string refusal;  // empty: accepted
  } cases[] = {
      {"csv", "\xC3\xA9", ""},          // é
      {"csv", "\xE2\x82\xAC", ""},      // €
      {"csv", "\xF0\x9F\x98\x80", ""},  // an emoji, two UTF-16 units
      {"csv", "\t", ""},
      {"v03", "\xC2\xA7\xC2\xA7", ""},
      {"csv", "e\xCC\x81",
       "--delimiter for csv is one character other than a quote or a line break"},
      {"csv", "\xFF", "--delimiter is not valid UTF-8"},
      {"v03", "\xFF", "--delimiter is not valid UTF-8"},
      {"v03", "|\xC3", "--delimiter is not valid UTF-8"},         // cut short
      {"csv", "\xC0\xAC", "--delimiter is not valid UTF-8"},      // an overlong ","
      {"csv", "\xED\xA0\x80", "--delimiter is not valid UTF-8"},  // a surrogate
  };
  for (const auto& [format, delimiter, refusal] : cases) {
    const auto parsed = parse_arguments({"download", "--format", format, "--delimiter", delimiter});
    if (refusal.empty()) {
      EXPECT_EQ(accepted({"download", "--format", format, "--delimiter", delimiter}).delimiter,
                delimiter);
    } else {
      ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << refusal;
      EXPECT_EQ(std::get<UsageError>(parsed).message, refusal);
    }
  }
}

// V03's fields are numbers, and texts whose length fields tell a reader where they end: a
// digit between them could be read as part of either.
TEST(Arguments, DelimiterHoldsNoDigit) {
  for (const Words& words :
       {Words{"download", "--delimiter", "0"}, Words{"download", "--delimiter=|9|"},
        Words{"download", "--format", "csv", "--delimiter", "5"}}) {
    const auto parsed = parse_arguments(words);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << words.back();
    EXPECT_EQ(std::get<UsageError>(parsed).message,
              "--delimiter may not contain a digit: the fields it separates are numbers");
  }
}

TEST(Arguments, DoubleDashMakesEveryLaterWordAnOperand) {
  EXPECT_EQ(accepted({"params", "show", "--", "1", "2"}).parameters, (std::vector<int>{1, 2}));
  EXPECT_TRUE(accepted({"--log", "--", "download"}).log);
  // A value first, then the end of the options.
  EXPECT_EQ(accepted({"download", "--delimiter", "--", "--"}).delimiter, "--");
  const struct {
    Words words;
    std::string message;
  } cases[] = {
      {{"download", "--", "--log"}, "unexpected word '--log'"},
      {{"params", "show", "--", "-h"}, "parameter number '-h' is not a whole number from 0 to 99"},
      {{"params", "reset", "--", "--help"}, "'--help' is not a setting of the form NUMBER=VALUE"},
  };
  for (const auto& [words, message] : cases) {
    const auto parsed = parse_arguments(words);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << message;
    EXPECT_EQ(std::get<UsageError>(parsed).message, message);
  }
}

// As "hello extra" is refused, so is a word beside --version that no command takes.
TEST(Arguments, VersionTakesNoStrayWord) {
  for (const Words& words : {Words{"--version", "extra"}, Words{"extra", "--version"},
                             Words{"hello", "extra", "--version"}}) {
    const auto parsed = parse_arguments(words);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << words[0];
    EXPECT_EQ(std::get<UsageError>(parsed).message, "unexpected word 'extra'");
  }
  EXPECT_EQ(accepted({"params", "show", "1", "--version"}).command, Command::version);
}

TEST(Arguments, HelpOfAGroupOfCommands) {
  EXPECT_EQ(accepted({"params", "--help"}).help_topic, Command::params);
  EXPECT_EQ(accepted({"params", "show", "--help"}).help_topic, Command::params_show);
}

// The refusal points at the help of the command the line names, wherever it stands.
TEST(Arguments, RefusalsNameTheCommandWhoseHelpApplies) {
  const struct {
    Words words;
    std::string command;
  } cases[] = {
      {{"download", "--port"}, "download"},
      {{"--verbose", "download"}, "download"},
      {{"params", "show", "x"}, "params show"},
      {{"params", "reset", "--log=1"}, "params reset"},
      {{"params"}, ""},
      {{"fetch"}, ""},
  };
  for (const auto& [words, command] : cases) {
    const auto parsed = parse_arguments(words);
    ASSERT_TRUE(std::holds_alternative<UsageError>(parsed)) << command;
    EXPECT_EQ(std::get<UsageError>(parsed).command, command);
  }
}

}  // namespace
}  // namespace vkd::cli
