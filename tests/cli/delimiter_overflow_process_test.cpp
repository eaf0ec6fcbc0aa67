// A V03 text too long to be handed over, from the built program.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

// A scanner on port 3 holding `count` like barcodes.
json scanner_holding(int count) {
  json barcodes = json::array();
  for (int i = 0; i < count; ++i) {
    barcodes.push_back({{"type", 3}, {"text", "8712345678906"}, {"time", "2009-05-01T13:45:02"}});
  }
  return {{"port", 3}, {"barcodes", barcodes}};
}

TEST(DownloadCommand, ATextPastTwoBillionCharactersIsError6WithoutTakingItsMemory) {
  ClickerSandbox sandbox;
  sandbox.write_device(scanner_holding(4000));
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
  // The cause is the delimiter, not the records.
  EXPECT_NE(run.err.find("use a shorter --delimiter"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("32,767 records"), std::string::npos) << run.err;
}

// Every form is written as a stream: a text of 197 MB, a 1,000-character delimiter over
// 32,767 records, passes through less than half its size of address space, the program,
// its libraries and the download's records included.
TEST(DownloadCommand, ALongTextIsWrittenAsAStreamWithinLittleMemory) {
  ClickerSandbox sandbox;
  sandbox.write_device(scanner_holding(32767));
  const ProgramRun run = sandbox.run_program(
      "/bin/sh", {"-c", "ulimit -v 98304 && (\"$0\" \"$@\"; echo \"exit $?\" >&2) | wc -c", CLICKER_PATH,
                  "download", "--delimiter", std::string(1'000, '|')});
  EXPECT_EQ(run.err, "exit 0\n");
  // Six delimiters and the fields of each record, the header, and the line break.
  EXPECT_GT(std::stoll(run.out), 32767LL * 6 * 1'000);
}

}  // namespace
}  // namespace vkd::testing
