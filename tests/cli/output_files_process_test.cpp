// The files the program writes, in the places a user may point it at: the scanner is
// emptied only once the data is safely written, and what is said is what happened.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// Before the fix the program waited for ever to open the FIFO for writing: `timeout`
// ends it then with 124.
TEST(OutputFiles, AStateFileThatIsAFifoIsWarnedAboutAndTheScannerIsEmptied) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device(5));
  std::filesystem::create_directories(sandbox.state_file().parent_path());
  ASSERT_EQ(mkfifo(sandbox.state_file().c_str(), 0600), 0);

  const ProgramRun run = sandbox.run_program(
      "/usr/bin/timeout", {"60", CLICKER_PATH, "download", "--port", "5", "--empty"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_NE(run.out.find("8712345678906"), std::string::npos);
  EXPECT_EQ(run.err, "clicker: warning: " + sandbox.state_file().string() +
                         ": cannot remember the port: not a regular file\nemptied: yes\n");
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
  EXPECT_TRUE(std::filesystem::is_fifo(sandbox.state_file()));
}

// A file whose last line has no line end (a download cut short, an editor that adds
// none) gets one, in the format's own kind, before the new records, which then stand on
// lines of their own; and standard error says so.
TEST(OutputFiles, AnAppendedFileWhoseLastLineIsOpenHasItEndedFirst) {
  const struct {
    const char* format;
    std::string before;
    std::string line_end_added;
    std::size_t new_lines;
  } cases[] = {
      {"jsonl", "{\"a\":1}\n{\"b\":", "\n", 2},
      {"csv", "index,barcode\r\n1,871234", "\r\n", 2},
      {"csv", "index,barcode\r\n1,871234\r", "\n", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.before);
    ClickerSandbox sandbox;
    sandbox.write_device(two_barcode_device());
    const auto file = sandbox.folder() / (std::string("A.") + c.format);
    ClickerSandbox::write_file(file, c.before);

    const ProgramRun run = sandbox.run(
        {"download", "--format", c.format, "--append", "--output", file.string(), "--empty"});

    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "clicker: warning: " + file.string() +
                           " did not end with a line break: one was added before the new "
                           "records\nemptied: yes\n");
    const std::string after = ClickerSandbox::read_file(file);
    ASSERT_TRUE(after.starts_with(c.before + c.line_end_added)) << after;
    const std::vector<std::string> added = lines_of(after.substr(c.before.size() + c.line_end_added.size()));
    ASSERT_EQ(added.size(), c.new_lines) << after;
    for (const std::string& line : added) {
      if (std::string(c.format) == "jsonl") {
        EXPECT_EQ(json::parse(line)["identifier"], "0123456789ABCDEF");
      } else {
        EXPECT_TRUE(line.ends_with("\r")) << line;
        EXPECT_TRUE(line.starts_with("1,") || line.starts_with("2,")) << line;
      }
    }
  }
}

// ext4 and tmpfs take names of up to 255 bytes; the temporary file beside the output
// must not make a long one fail.
TEST(OutputFiles, AnOutputNameOfAnyLengthTheFileSystemTakesIsWritten) {
  for (const std::size_t length : {231u, 255u}) {
    ClickerSandbox sandbox;
    sandbox.write_device(two_barcode_device());
    const auto file = sandbox.folder() / std::string(length, 'n');

    const ProgramRun run = sandbox.run({"download", "--format", "csv", "--output", file.string(), "--empty"});

    EXPECT_EQ(run.exit_code, 0) << run.err;
    EXPECT_EQ(run.err, "emptied: yes\n");
    EXPECT_EQ(lines_of(ClickerSandbox::read_file(file)).size(), 3u);
  }
}

// The user as whom the program runs without root's right to read any folder: the test's
// own, or nobody's when the tests run as root.
std::optional<std::vector<std::string>> unprivileged_command(const ClickerSandbox& sandbox) {
  if (geteuid() != 0) return std::vector<std::string>{CLICKER_PATH};
  const passwd* nobody = getpwnam("nobody");
  if (nobody == nullptr || access("/usr/bin/setpriv", X_OK) != 0) return std::nullopt;
  std::vector<std::string> command = {"--reuid=" + std::to_string(nobody->pw_uid),
                                      "--regid=" + std::to_string(nobody->pw_gid), "--clear-groups",
                                      CLICKER_PATH};
  for (const auto& entry : std::filesystem::recursive_directory_iterator(sandbox.folder()))
    if (lchown(entry.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return std::nullopt;
  if (chown(sandbox.folder().c_str(), nobody->pw_uid, nobody->pw_gid) != 0) return std::nullopt;
  // The built program must be within that user's reach too.
  std::vector<std::string> hello = command;
  hello.push_back("hello");
  if (sandbox.run_program("/usr/bin/setpriv", hello).exit_code != 0) return std::nullopt;
  return command;
}

// A folder that may be written but not read: the file is renamed into place, but the
// folder cannot be opened to flush it. The file is there whole; that the rename may not
// yet survive a crash of the system is worth a warning, not a failure.
TEST(OutputFiles, AFolderThatCannotBeReadGetsTheFileAndAWarningAboutItsFlush) {
  ClickerSandbox sandbox;
  sandbox.write_device(two_barcode_device());
  const auto folder = sandbox.folder() / "write-only";
  std::filesystem::create_directories(folder);
  const auto file = folder / "scans.csv";
  ClickerSandbox::write_file(file, "old\n");
  const auto command = unprivileged_command(sandbox);
  if (!command) GTEST_SKIP() << "running as root, and no unprivileged user can run the program here";
  std::filesystem::permissions(folder, std::filesystem::perms(0333));

  std::vector<std::string> arguments = *command;
  for (const char* argument : {"download", "--format", "csv", "--output"}) arguments.push_back(argument);
  arguments.push_back(file.string());
  arguments.push_back("--empty");
  const ProgramRun run = geteuid() == 0 ? sandbox.run_program("/usr/bin/setpriv", arguments)
                                        : sandbox.run({arguments.begin() + 1, arguments.end()});
  std::filesystem::permissions(folder, std::filesystem::perms(0755));

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.err, "clicker: warning: " + file.string() +
                         " is written, but its folder could not be flushed to the disk: "
                         "Permission denied\nemptied: yes\n");
  EXPECT_EQ(lines_of(ClickerSandbox::read_file(file)).size(), 3u);
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);
}

// As `clicker download --empty | head -c 10` meets it: the reader goes away after a few
// bytes of a large download.
TEST(OutputFiles, AReaderThatLeavesEarlyIsAWriteErrorAndNothingIsErased) {
  ClickerSandbox sandbox;
  json device = two_barcode_device();
  json barcodes = json::array();
  for (int i = 0; i < 32767; ++i)
    barcodes.push_back({{"type", 3}, {"text", "8712345678906"}, {"time", "2009-05-01T13:45:02"}});
  device["barcodes"] = barcodes;
  sandbox.write_device(device);

  const ProgramRun run = sandbox.run_program(
      "/bin/bash", {"-c", "set -o pipefail; \"$0\" download --empty | head -c 10 > /dev/null", CLICKER_PATH});

  EXPECT_EQ(run.exit_code, 1);
  EXPECT_EQ(run.err, "clicker: cannot write output: Broken pipe\n");
  EXPECT_EQ(sandbox.device()["barcodes"].size(), 32767u);
}

}  // namespace
}  // namespace vkd::testing
