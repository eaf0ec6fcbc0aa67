#include "cli/help_text.h"

#include <gtest/gtest.h>

namespace vkd::cli {
namespace {

// "clicker params --help" describes the pair of commands, with what they share, and no
// other command.
TEST(HelpText, OfParamsHasBothItsCommands) {
  const std::string help = command_help(Command::params);
  EXPECT_TRUE(help.starts_with("Usage: clicker params show|reset [OPTIONS]\n")) << help;
  for (const char* expected :
       {"\n  params show N... [--format raw] [--port N] [--log]\n",
        "\n  params reset [N=V...] [--port N] [--log]\n", "--format raw", "Exit status:"}) {
    EXPECT_NE(help.find(expected), std::string::npos) << expected << "\n" << help;
  }
  EXPECT_EQ(help.find("\n  download"), std::string::npos) << help;
}

}  // namespace
}  // namespace vkd::cli
