// A V03 text too long to be handed over, from the built program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

TEST(DownloadCommand, ATextPastTwoBillionCharactersIsError6WithoutTakingItsMemory) {
  ClickerSandbox sandbox;
  json barcodes = json::array();
  for (int i = 0; i < 4000; ++i) {
    barcodes.push_back({{"type", 3}, {"text", "8712345678906"}, {"time", "2009-05-01T13:45:02"}});
  }
  sandbox.write_device({{"port", 3}, {"barcodes", barcodes}});
  // Six delimiters per barcode: 2.4 billion characters, 4.8 GB as the text is held.
  std::vector<std::string> arguments = {"download", "--delimiter", std::string(100'000, '|')};
#ifdef __SANITIZE_ADDRESS__
  // The sanitizer reserves terabytes of address space for itself: no limit fits it.
  const ProgramRun run = sandbox.run(arguments);
#else
  // Within 1 GiB of address space, which the text could not even be reserved in.
  arguments.insert(arguments.begin(), {"-c", "ulimit -v 1048576 && exec \"$0\" \"$@\"", CLICKER_PATH});
  const ProgramRun run = sandbox.run_program("/bin/sh", arguments);
#endif

  EXPECT_EQ(run.exit_code, 1) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_NE(run.err.find("error 6: Overflow"), std::string::npos) << run.err;
}

}  // namespace
}  // namespace vkd::testing
