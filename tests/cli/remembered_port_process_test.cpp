// The port the command remembers between runs, run as a program.
#include <gtest/gtest.h>

#include <string>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

json empty_scanner(int port) { return {{"port", port}}; }

json remembered(const ClickerSandbox& sandbox) {
  return json::parse(ClickerSandbox::read_file(sandbox.state_file()));
}

TEST(RememberedPort, TheNextRunUsesThePortThatAnswered) {
  ClickerSandbox sandbox;
  sandbox.write_device(empty_scanner(7));

  const ProgramRun first = sandbox.run({"download"});
  ASSERT_EQ(first.exit_code, 0) << first.err;
  EXPECT_EQ(first.err, "");  // a first run is nothing to warn about
  EXPECT_EQ(remembered(sandbox), json({{"port", 7}}));

  // empty searches no ports: it succeeds only on the remembered one.
  const ProgramRun second = sandbox.run({"empty", "--log"});
  EXPECT_EQ(second.exit_code, 0) << second.err;
  EXPECT_EQ(second.out, "empty: yes\n");
  EXPECT_NE(second.err.find("OPOK:07"), std::string::npos) << second.err;
}

TEST(RememberedPort, PortOptionOverridesItAndTheAnsweringPortReplacesIt) {
  ClickerSandbox sandbox;
  sandbox.write_device(empty_scanner(5));
  sandbox.write_state(R"({"port": 9})");

  const ProgramRun run = sandbox.run({"download", "--port", "4", "--log"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  // The search starts at 4, not at the remembered 9, and finds 5 at its second attempt.
  EXPECT_NE(run.err.find("OPOK:04"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find(":09"), std::string::npos) << run.err;
  EXPECT_EQ(remembered(sandbox), json({{"port", 5}}));
}

TEST(RememberedPort, CorruptStateFileIsIgnoredWithAWarningAndRewritten) {
  ClickerSandbox sandbox;
  sandbox.write_device(empty_scanner(2));
  sandbox.write_state("{\"port\": ");

  const ProgramRun run = sandbox.run({"download", "--format", "csv"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "index,barcode,code_type,time,identifier,version,clock,count,stamp_hex,clock_hex\r\n");
  EXPECT_NE(run.err.find("warning"), std::string::npos) << run.err;
  EXPECT_EQ(remembered(sandbox), json({{"port", 2}}));
}

TEST(Program, HelloAndVersionNeedNoScannerLibraryButScannerCommandsReportItsAbsence) {
  ClickerSandbox sandbox;
  sandbox.write_device(empty_scanner(3));
  // A copy of the program with no simulated library beside it.
  const auto lonely = sandbox.folder() / "clicker";
  std::filesystem::copy_file(CLICKER_PATH, lonely);

  const ProgramRun hello = sandbox.run_program(lonely, {"hello"});
  EXPECT_EQ(hello.exit_code, 0);
  EXPECT_EQ(hello.out, "Clicker control successfully installed\n");
  EXPECT_EQ(sandbox.run_program(lonely, {"--version"}).out, "clicker 5.01.0001\n");

  const ProgramRun download = sandbox.run_program(lonely, {"download"});
  EXPECT_EQ(download.exit_code, 1);
  EXPECT_NE(download.err.find("error 53: File not found: csp2a.DLL"), std::string::npos)
      << download.err;
  // On Linux the library has another name, and the folders it was looked for in matter.
  EXPECT_NE(download.err.find("libcsp2a.so was looked for in"), std::string::npos) << download.err;
  EXPECT_NE(download.err.find(sandbox.folder().string() + " (the program's folder)"),
            std::string::npos)
      << download.err;
}

TEST(Program, UnknownCommandIsAUsageError) {
  ClickerSandbox sandbox;
  const ProgramRun run = sandbox.run({"fetch"});
  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "clicker: unknown command 'fetch'\nTry 'clicker --help'.\n");

  const ProgramRun option = sandbox.run({"download", "--wait"});
  EXPECT_EQ(option.exit_code, 1);
  EXPECT_EQ(option.err, "clicker: --wait needs a value\nTry 'clicker download --help'.\n");

  const ProgramRun help = sandbox.run({"download", "--help"});
  EXPECT_EQ(help.exit_code, 0);
  EXPECT_TRUE(help.out.starts_with("Usage: clicker download [OPTIONS]\n")) << help.out;
  EXPECT_NE(help.out.find("--wait SECONDS"), std::string::npos) << help.out;
  EXPECT_EQ(help.out.find("params reset"), std::string::npos) << help.out;
}

}  // namespace
}  // namespace vkd::testing
