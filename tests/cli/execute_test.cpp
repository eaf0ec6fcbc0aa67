// The commands against a scripted in-process library, with pauses that take no time.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/run.h"
#include "cli/state_file.h"
#include "clicker_sandbox.h"
#include "fake_host.h"
#include "fake_library.h"
#include "sim/device.h"

namespace vkd::cli {
namespace {

using testing::ClickerSandbox;
using testing::FakeLibrary;
using testing::Function;

Invocation command_on_port(Command command, std::int16_t port) {
  Invocation invocation;
  invocation.command = command;
  invocation.port = port;
  return invocation;
}

class ExecuteTest : public ::testing::Test {
 protected:
  int execute_command(const Invocation& invocation) { return execute_on(invocation, host); }
  int execute_on(const Invocation& invocation, Host& on, bool err_is_terminal = false) {
    Environment environment{.library = library,
                            .host = on,
                            .out = out,
                            .err = err,
                            .err_is_terminal = err_is_terminal,
                            .state_file = state_file};
    return execute(invocation, environment);
  }
  std::vector<std::int32_t> ports_opened() const {
    std::vector<std::int32_t> ports;
    for (const auto& call : library.calls()) {
      if (call.function == Function::csp2Init) ports.push_back(call.numbers.at(0));
    }
    return ports;
  }

  // A scanner that does all it is asked, holding `barcodes` records.
  void scanner_on(std::int32_t port, std::size_t barcodes = 0) {
    library.change_device([port, barcodes](sim::Device& device) {
      device.port = port;
      device.barcodes.resize(barcodes);
    });
  }

  FakeLibrary library;
  testing::InstantHost host;
  std::ostringstream out, err;
  ClickerSandbox sandbox;
  std::filesystem::path state_file = sandbox.folder() / "state.json";
};

// The object's comport belongs to the port search of a download; emptying uses lastport
// and leaves comport as it was (0 on a new object). The port to remember is the one used.
TEST_F(ExecuteTest, EmptyRemembersThePortItUsedNotTheStaleComport) {
  scanner_on(5);
  const int exit_code = execute_command(command_on_port(Command::empty, 5));

  EXPECT_EQ(exit_code, 0) << err.str();
  EXPECT_EQ(out.str(), "empty: yes\n");
  EXPECT_EQ(ports_opened(), std::vector<std::int32_t>{5});
  std::ostringstream warnings;
  EXPECT_EQ(read_remembered_port(state_file, warnings), 5);
}

// Values of 100 and more take three digits in the component's text, with nothing between
// the entries: each still lands on its own parameter.
TEST_F(ExecuteTest, ParamsShowPrintsEachParameterAndStatusItemByName) {
  scanner_on(2);
  library.handle(Function::csp2GetParam,
                 [](std::span<std::uint8_t> value, std::span<const std::int32_t> numbers) {
                   value[0] = static_cast<std::uint8_t>(numbers[0] * 20);
                   return 0;
                 });
  library.script_all(Function::csp2GetProtocol, {0x31, std::nullopt});
  library.script_all(Function::csp2GetSwVersion,
                     {0, std::vector<std::uint8_t>{'V', '1', ':', '5'}});
  library.script_all(Function::csp2GetASCIIMode, {-1, std::nullopt});
  Invocation invocation = command_on_port(Command::params_show, 2);
  invocation.parameters = {1, 5, 12, 0};
  invocation.format = Format::named;
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 0) << err.str();
  EXPECT_EQ(out.str(),
            "1=20\n5=100\n12=240\n0=0\n"
            "protocol=0x31\nstatus=0x0\nversion=V1:5\nascii_mode=0x????\nrtc_mode=0x0\n");
  std::vector<std::int32_t> asked;
  for (const auto& call : library.calls()) {
    if (call.function == Function::csp2GetParam) asked.push_back(call.numbers.at(0));
  }
  EXPECT_EQ(asked, (std::vector<std::int32_t>{1, 5, 12, 0}));
  std::ostringstream warnings;
  EXPECT_EQ(read_remembered_port(state_file, warnings), 2);

  out.str("");
  invocation.format = Format::raw;
  EXPECT_EQ(execute_command(invocation), 0);
  EXPECT_EQ(out.str().substr(0, 21), "04012005100122400000:");
}

// The status report of a scanner that did not answer shows the protocol's placeholder;
// the values are then the library's untouched buffers, no reading at all.
TEST_F(ExecuteTest, ParamsShowWithNobodyAnsweringExitsTwoAndPrintsNothing) {
  library.script_all(Function::csp2GetProtocol, {-3, std::nullopt});
  for (const Format format : {Format::named, Format::raw}) {
    Invocation invocation = command_on_port(Command::params_show, 2);
    invocation.parameters = {1};
    invocation.format = format;
    EXPECT_EQ(execute_command(invocation), 2);
  }
  EXPECT_EQ(out.str(), "");
  EXPECT_NE(err.str().find("did not answer on port 2"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists(state_file));
}

TEST_F(ExecuteTest, ErrorRaisedInsideTheObjectPrintsItsNumberAndTheLogSoFar) {
  scanner_on(4);
  library.script_all(Function::csp2ReadData, {70000, std::nullopt});
  Invocation invocation = command_on_port(Command::download, 4);
  invocation.log = true;
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 1);
  EXPECT_EQ(out.str(), "");
  EXPECT_TRUE(err.str().starts_with(":04")) << err.str();
  EXPECT_NE(err.str().find("clicker: error 6: Overflow\n"), std::string::npos) << err.str();
  EXPECT_FALSE(std::filesystem::exists(state_file));
}

// empty says so on standard output; params reset, which prints nothing, on standard error.
TEST_F(ExecuteTest, AnEmptyingThatIsNotConfirmedExitsTwo) {
  library.script_all(Function::csp2ClearData, {2, std::nullopt});
  library.script_all(Function::csp2ReadData, {4, std::nullopt});
  const struct {
    Command command;
    std::int16_t port;
    std::string printed;
  } cases[] = {{Command::empty, 1, "empty: no\n"}, {Command::params_reset, 6, ""}};
  for (const auto& [command, port, printed] : cases) {
    SCOPED_TRACE(command_name(command));
    scanner_on(port);
    out.str("");
    err.str("");

    EXPECT_EQ(execute_command(command_on_port(command, port)), 2);
    EXPECT_EQ(out.str(), printed);
    EXPECT_NE(err.str().find("the scanner was not emptied"), std::string::npos) << err.str();
  }
}

TEST_F(ExecuteTest, ResetWithAScannerThatDidNotAnswerExitsTwo) {
  library.script_all(Function::csp2Init, {-1, std::nullopt});
  Invocation invocation = command_on_port(Command::params_reset, 6);
  invocation.settings = {{1, 5}};
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 2);
  EXPECT_NE(err.str().find("did not answer on port 6"), std::string::npos) << err.str();
  EXPECT_EQ(library.count(Function::csp2SetParam), 1);
  EXPECT_FALSE(std::filesystem::exists(state_file));
}

// The library stops answering at the third of three records: what was read is printed,
// and nothing is erased.
TEST_F(ExecuteTest, IncompleteDownloadPrintsWhatWasReadAndExitsTwoUnemptied) {
  scanner_on(1, 3);
  library.script(Function::csp2GetPacket, 3, {-2, std::nullopt});
  Invocation invocation = command_on_port(Command::download, 1);
  invocation.format = Format::jsonl;
  invocation.empty_after = true;
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 2);
  const std::string printed = out.str();
  EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 2) << printed;
  EXPECT_NE(err.str().find("read 2 of 3 records"), std::string::npos) << err.str();
  EXPECT_EQ(library.count(Function::csp2ClearData), 0);
}

// The search started at 3 and found the scanner on 5: it is emptied there, and the clock
// is set as it is.
TEST_F(ExecuteTest, DownloadThenEmptyUsesThePortThatAnswered) {
  scanner_on(5);
  Invocation invocation = command_on_port(Command::download, 3);
  invocation.empty_after = true;
  invocation.set_clock = "003009150524";
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 0) << err.str();
  EXPECT_EQ(ports_opened(), (std::vector<std::int32_t>{3, 4, 5, 5}));
  EXPECT_EQ(library.count(Function::csp2ClearData), 1);
  EXPECT_EQ(library.count(Function::csp2SetTime), 1);
  EXPECT_EQ(err.str(), "emptied: yes\nclock set: yes\n");
  EXPECT_TRUE(out.str().starts_with("DL;V03;")) << out.str();
}

// The emptying reads the scanner's records again and erases only what was read: a barcode
// scanned in between keeps the scanner as it is, for the next download.
TEST_F(ExecuteTest, DownloadThenEmptyErasesNothingWhenTheScannerChanged) {
  scanner_on(0, 2);
  library.handle(Function::csp2ReadData, [this](auto, auto) {
    const std::int32_t count = library.scanner().read_data().result;
    if (library.count(Function::csp2ReadData) == 1) scanner_on(0, 3);  // a scan after the download's count
    return count;
  });
  Invocation invocation = command_on_port(Command::download, 0);
  invocation.empty_after = true;
  EXPECT_EQ(execute_command(invocation), 2);
  EXPECT_EQ(err.str(),
            "emptied: no\nclicker: the scanner held 3 records when it was to be emptied, 2 when it "
            "was read: nothing was erased; download again\n");
  EXPECT_EQ(library.count(Function::csp2ClearData), 0);
  EXPECT_EQ(library.scanner().device().barcodes.size(), 3u);
}

// The search counts up from the port it starts at, wrapping from 15 to 0 and from the
// highest port a user can name (32767) to 0: never to a port no option could give.
TEST_F(ExecuteTest, TheSearchStaysWithinThePortsAUserCanName) {
  library.script_all(Function::csp2Init, {-1, std::nullopt});
  EXPECT_EQ(execute_command(command_on_port(Command::download, 32767)), 2);
  std::vector<std::int32_t> expected = {32767};
  for (std::int32_t port = 0; port <= 14; ++port) expected.push_back(port);
  EXPECT_EQ(ports_opened(), expected);
  EXPECT_EQ(err.str(), "clicker: no scanner answered on any port\n");
}

// A scanner that opens and then reports a negative count did answer: it says so, with
// what it reported, rather than that nobody answered.
TEST_F(ExecuteTest, AScannerThatAnswersWithAFailureIsNamed) {
  scanner_on(4, 2);
  library.script_all(Function::csp2ReadData, {-7, std::nullopt});
  EXPECT_EQ(execute_command(command_on_port(Command::download, 4)), 2);
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "clicker: the scanner on port 4 answered with a failure: status 0, count -7\n");

  err.str("");
  EXPECT_EQ(execute_command(command_on_port(Command::empty, 4)), 2);
  EXPECT_EQ(err.str(), "clicker: the scanner on port 4 answered with a failure: status 0, count -7\n");
  EXPECT_EQ(library.count(Function::csp2ClearData), 0);
}

class WaitTest : public ExecuteTest {
 protected:
  // Coarser clock steps than the default keep the many readings of a wait of seconds few.
  WaitTest() { fake_host.monotonic_step = std::chrono::milliseconds(10); }

  // No scanner for the first `absent_searches` searches of 16 ports each.
  void scanner_appears_after(int absent_searches) {
    library.handle(Function::csp2Init,
                   [this, absent_searches](std::span<std::uint8_t>, std::span<const std::int32_t> port) {
                     if (++init_calls <= 16 * absent_searches) return -1;
                     return library.scanner().open(port[0]).result;
                   });
  }
  int download_waiting(int seconds, bool err_is_terminal = false) {
    Invocation invocation = command_on_port(Command::download, 0);
    invocation.wait_seconds = seconds;
    start = fake_host.monotonic;
    return execute_on(invocation, fake_host, err_is_terminal);
  }
  std::chrono::nanoseconds waited() const { return fake_host.monotonic - start; }

  testing::FakeHost fake_host;
  std::chrono::nanoseconds start{};
  int init_calls = 0;
};

TEST_F(WaitTest, SearchesEveryThreeSecondsUntilTheScannerAnswers) {
  scanner_appears_after(2);
  EXPECT_EQ(download_waiting(60), 0) << err.str();
  EXPECT_EQ(init_calls, 2 * 16 + 1);
  EXPECT_GE(waited(), std::chrono::seconds(6));
  EXPECT_LT(waited(), std::chrono::seconds(8));
  EXPECT_GT(fake_host.waits, 0);  // it waited between searches rather than spinning
  EXPECT_TRUE(out.str().starts_with("DL;V03;")) << out.str();
}

TEST_F(WaitTest, GivesUpWhenTheTimeIsUp) {
  scanner_appears_after(1000);
  EXPECT_EQ(download_waiting(7), 2);
  EXPECT_EQ(init_calls, 4 * 16);  // at 0, 3, 6 and, last, 7 seconds
  EXPECT_EQ(out.str(), "");
  EXPECT_EQ(err.str(), "clicker: no scanner answered within 7 seconds\n");
}

TEST_F(WaitTest, ShowsThatItWaitsOnATerminal) {
  scanner_appears_after(1000);
  EXPECT_EQ(download_waiting(1, /*err_is_terminal=*/true), 2);
  EXPECT_TRUE(err.str().starts_with("\rclicker: waiting for the scanner |")) << err.str();
  EXPECT_TRUE(err.str().ends_with("\rclicker: no scanner answered within 1 seconds\n")) << err.str();
}

TEST_F(WaitTest, WithoutWaitSearchesOnce) {
  scanner_appears_after(1000);
  Invocation invocation = command_on_port(Command::download, 0);
  EXPECT_EQ(execute_command(invocation), 2);
  EXPECT_EQ(init_calls, 16);
  EXPECT_EQ(err.str(), "clicker: no scanner answered on any port\n");
}

}  // namespace
}  // namespace vkd::cli
