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
  EXPECT_EQ(accepted({"download", "--format", "xml", "--help"}).command, Command::help);
  EXPECT_EQ(accepted({"-h"}).command, Command::help);
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
      {{"download", "--format", "xml"}, "--format takes v03, v01, csv or json, not 'xml'"},
      {{"download", "--format", "V03"}, "--format takes v03, v01, csv or json, not 'V03'"},
      {{"download", "--delimiter="}, "--delimiter needs at least one character"},
      {{"download", "--format", "csv", "--delimiter", "::"},
       "--delimiter for csv is one character other than a quote or a line break"},
      {{"download", "--format", "csv", "--delimiter", "\""},
       "--delimiter for csv is one character other than a quote or a line break"},
      {{"download", "--format", "json", "--delimiter", ";"},
       "--delimiter applies to --format v03 and csv only"},
      {{"empty", "--format", "csv"}, "--format does not apply to this command"},
      {{"download", "--set-clock", "now"}, "--set-clock does not apply to this command"},
      {{"hello", "--log"}, "--log does not apply to this command"},
      {{"download", "--port", "-1"}, "--port takes a port number from 0 to 32767, not '-1'"},
      {{"download", "--port", "32768"}, "--port takes a port number from 0 to 32767, not '32768'"},
      {{"download", "--port", "3.0"}, "--port takes a port number from 0 to 32767, not '3.0'"},
      {{"empty", "--set-clock", "00002429020"},
       "--set-clock takes 'now' or a date and time SSMMHHDDMMYY (seconds first), not "
       "'00002429020'"},
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

}  // namespace
}  // namespace vkd::cli
