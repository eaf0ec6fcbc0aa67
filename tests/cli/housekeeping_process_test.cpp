// The empty and params commands, run as a program against simulated scanners.
#include <gtest/gtest.h>

#include <string>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

TEST(EmptyCommand, ErasesTheScannerAndSetsItsClock) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  // 23:59:59 on 31 December of year 99, seconds first.
  const ProgramRun run = sandbox.run({"empty", "--port", "3", "--set-clock", "595923311299"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "empty: yes\nclock set: yes\n");
  const json device = sandbox.device();
  EXPECT_EQ(device["barcodes"], json::array());
  EXPECT_EQ(device["clock"], json({59, 59, 23, 31, 12, 99}));
  EXPECT_EQ(json::parse(ClickerSandbox::read_file(sandbox.state_file())), json({{"port", 3}}));
}

TEST(EmptyCommand, RefusedClockExitsTwoThoughTheScannerIsEmpty) {
  ClickerSandbox sandbox;
  json device = two_barcode_device();
  device["script"] = {{{"call", "csp2SetTime"}, {"result", -1}}};
  sandbox.write_device(device);

  const ProgramRun run = sandbox.run({"empty", "--port", "3", "--set-clock", "now"});

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "empty: yes\nclock set: no\n");
  EXPECT_NE(run.err.find("refused the clock"), std::string::npos) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
}

TEST(EmptyCommand, ScannerNotOnTheGivenPortExitsTwoAndKeepsItsBarcodes) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device(/*port=*/4));

  const ProgramRun run = sandbox.run({"empty", "--port", "3"});

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("did not answer on port 3"), std::string::npos) << run.err;
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
  EXPECT_FALSE(std::filesystem::exists(sandbox.state_file()));
}

// With neither --port nor a remembered port there is nothing to talk to: the command
// says so and sends nothing (the library writes no trace).
TEST(EmptyCommand, WithoutAnyKnownPortSendsNothing) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());

  const ProgramRun run = sandbox.run({"empty"});

  EXPECT_EQ(run.exit_code, 2);
  EXPECT_NE(run.err.find("no port is known"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(sandbox.trace_file()));
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 2u);
}

TEST(ParamsCommands, ResetWritesTheListedParametersAndShowReadsThemBack) {
  ClickerSandbox sandbox;
  json device = two_barcode_device();
  device["parameters"] = {{"1", 77}, {"12", 77}};
  sandbox.write_device(device);

  const ProgramRun reset = sandbox.run({"params", "reset", "1=5", "12=3", "--port", "3"});
  ASSERT_EQ(reset.exit_code, 0) << reset.err;
  EXPECT_EQ(reset.out, "");
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());  // reset empties the scanner first

  const ProgramRun show = sandbox.run({"params", "show", "12", "1"});  // the remembered port
  EXPECT_EQ(show.exit_code, 0) << show.err;
  EXPECT_TRUE(show.out.starts_with("12=3\n1=5\nprotocol=")) << show.out;
}

// Refused before anything is sent: the library is never called, so no trace exists.
TEST(ParamsCommands, NumbersAndValuesOutside0To99AreRefusedUnsent) {
  const struct {
    std::vector<std::string> arguments;
    std::string message;
  } cases[] = {
      {{"params", "show", "1", "100"}, "parameter number 100 is outside 0-99"},
      {{"params", "show", "-1"}, "parameter number '-1' is not a whole number from 0 to 99"},
      {{"params", "reset", "1=5", "12=100"}, "value 100 of parameter 12 is outside 0-99"},
      {{"params", "reset", "7"}, "'7' is not a setting of the form NUMBER=VALUE"},
  };
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());
  for (const auto& [arguments, message] : cases) {
    auto with_port = arguments;
    with_port.insert(with_port.end(), {"--port", "3"});
    const ProgramRun run = sandbox.run(with_port);
    EXPECT_EQ(run.exit_code, 1) << arguments.back();
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(sandbox.trace_file()));
}

}  // namespace
}  // namespace vkd::testing
