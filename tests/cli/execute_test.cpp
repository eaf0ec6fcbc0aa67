// The commands against a scripted in-process library, with pauses that take no time.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/run.h"
#include "cli/state_file.h"
#include "clicker_sandbox.h"
#include "fake_host.h"
#include "fake_library.h"

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
  int execute_command(const Invocation& invocation) {
    Environment environment{.library = library,
                            .host = host,
                            .out = out,
                            .err = err,
                            .err_is_terminal = false,
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

  FakeLibrary library;  // unscripted, every call answers 0: a scanner that does all it is asked
  testing::InstantHost host;
  std::ostringstream out, err;
  ClickerSandbox sandbox;
  std::filesystem::path state_file = sandbox.folder() / "state.json";
};

// The object's comport belongs to the port search of a download; emptying uses lastport
// and leaves comport as it was (0 on a new object). The port to remember is the one used.
TEST_F(ExecuteTest, EmptyRemembersThePortItUsedNotTheStaleComport) {
  const int exit_code = execute_command(command_on_port(Command::empty, 5));

  EXPECT_EQ(exit_code, 0) << err.str();
  EXPECT_EQ(out.str(), "empty: yes\n");
  EXPECT_EQ(ports_opened(), std::vector<std::int32_t>{5});
  std::ostringstream warnings;
  EXPECT_EQ(read_remembered_port(state_file, warnings), 5);
}

TEST_F(ExecuteTest, ParamsShowAsksForTheListedParametersInOrder) {
  library.handle(Function::csp2GetParam,
                 [](std::span<std::uint8_t> value, std::span<const std::int32_t> numbers) {
                   value[0] = static_cast<std::uint8_t>(numbers[0] + 1);
                   return 0;
                 });
  Invocation invocation = command_on_port(Command::params_show, 2);
  invocation.parameters = {1, 5, 12};
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 0) << err.str();
  EXPECT_TRUE(out.str().starts_with("03010205061213:")) << out.str();
  std::vector<std::int32_t> asked;
  for (const auto& call : library.calls()) {
    if (call.function == Function::csp2GetParam) asked.push_back(call.numbers.at(0));
  }
  EXPECT_EQ(asked, (std::vector<std::int32_t>{1, 5, 12}));
  EXPECT_FALSE(
      std::filesystem::exists(state_file));  // showparams cannot tell whether anyone answered
}

TEST_F(ExecuteTest, ErrorRaisedInsideTheObjectPrintsItsNumberAndTheLogSoFar) {
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

TEST_F(ExecuteTest, EmptyThatIsNotConfirmedExitsTwo) {
  library.script_all(Function::csp2ClearData, {2, std::nullopt});
  library.script_all(Function::csp2ReadData, {4, std::nullopt});
  const int exit_code = execute_command(command_on_port(Command::empty, 1));

  EXPECT_EQ(exit_code, 2);
  EXPECT_EQ(out.str(), "empty: no\n");
  EXPECT_NE(err.str().find("not emptied"), std::string::npos) << err.str();
}

TEST_F(ExecuteTest, ResetWithAScannerThatDidNotAnswerWarnsButSucceeds) {
  library.script_all(Function::csp2Init, {-1, std::nullopt});
  Invocation invocation = command_on_port(Command::params_reset, 6);
  invocation.settings = {{1, 5}};
  const int exit_code = execute_command(invocation);

  EXPECT_EQ(exit_code, 0);
  EXPECT_NE(err.str().find("did not answer on port 6"), std::string::npos) << err.str();
  EXPECT_EQ(library.count(Function::csp2SetParam), 1);
  EXPECT_FALSE(std::filesystem::exists(state_file));
}

}  // namespace
}  // namespace vkd::cli
