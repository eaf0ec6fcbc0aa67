// download --output and --empty, run as a program: the scanner is emptied only when every
// record it held is in the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>

#include "clicker_sandbox.h"

namespace vkd::testing {
namespace {

using nlohmann::json;

json five_barcode_device() {
  json device = two_barcode_device();
  for (const char* text : {"111", "222", "333"})
    device["barcodes"].push_back({{"type", 1}, {"text", text}, {"time", "2009-05-02T08:00:00"}});
  return device;
}

std::size_t lines_in(const std::string& text) {
  return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n'));
}

TEST(SafeDownload, EmptiesOnlyOnceEveryRecordIsInTheFile) {
  ClickerSandbox sandbox;
  sandbox.write_device(five_barcode_device());
  const auto file = sandbox.folder() / "scans.csv";

  const ProgramRun run =
      sandbox.run({"download", "--format", "csv", "--output", file.string(), "--empty"});

  EXPECT_EQ(run.exit_code, 0) << run.err;
  EXPECT_EQ(run.out, "");
  EXPECT_EQ(run.err, "emptied: yes\n");
  EXPECT_EQ(lines_in(ClickerSandbox::read_file(file)), 6u);  // the header and five records
  EXPECT_EQ(sandbox.device()["barcodes"], json::array());
}

// Each way the records can fail to reach the file: the scanner keeps every one of them.
TEST(SafeDownload, NothingIsErasedThatIsNotInTheOutput) {
  const struct {
    const char* name;
    std::vector<std::string> arguments;  // after "download --empty"; FILE is the sandbox's file
    StandardOutput output;
    json script;
    int exit_code;
    std::string message;
    std::size_t lines_in_file;  // what FILE holds afterwards (it held one line before)
  } cases[] = {
      {"standard output full", {}, StandardOutput::full_device, json::array(), 1,
       "clicker: cannot write output: No space left on device\n", 1},
      {"standard output closed", {}, StandardOutput::closed, json::array(), 1,
       "clicker: cannot write output: Bad file descriptor\n", 1},
      {"standard output a broken pipe", {}, StandardOutput::broken_pipe, json::array(), 1,
       "clicker: cannot write output: Broken pipe\n", 1},
      {"output file on a full device", {"--output", "/dev/full"}, StandardOutput::captured,
       json::array(), 1, "clicker: cannot write output to /dev/full: No space left on device\n", 1},
      {"output folder that cannot be written", {"--output", "FILE/scans.csv"},
       StandardOutput::captured, json::array(), 1,
       "clicker: cannot write output to FILE/scans.csv: Not a directory\n", 1},
      {"library failing at the third record", {"--output", "FILE"}, StandardOutput::captured,
       json::array({{{"call", "csp2GetPacket"}, {"record", 2}, {"result", -2}}}), 2,
       "clicker: read 2 of 5 records: the scanner stopped answering; it was not emptied; FILE was kept as "
       "it was, and the records stay on the scanner for the next run\n",
       1},
      {"scanner refusing to clear", {"--output", "FILE"}, StandardOutput::captured,
       json::array({{{"call", "csp2ClearData"}, {"result", 2}}}), 2,
       "emptied: no\nclicker: the scanner was not emptied\n", 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ClickerSandbox sandbox;
    json device = five_barcode_device();
    device["script"] = c.script;
    sandbox.write_device(device);
    const auto file = sandbox.folder() / "scans.jsonl";
    ClickerSandbox::write_file(file, "{\"kept\": true}\n");
    std::vector<std::string> arguments = {"download", "--empty", "--format", "jsonl"};
    const auto with_file = [&file](std::string text) {
      if (const auto at = text.find("FILE"); at != std::string::npos) text.replace(at, 4, file.string());
      return text;
    };
    for (const std::string& argument : c.arguments) arguments.push_back(with_file(argument));

    const ProgramRun run = sandbox.run(arguments, c.output);

    EXPECT_EQ(run.exit_code, c.exit_code);
    EXPECT_EQ(run.err, with_file(c.message));
    EXPECT_EQ(sandbox.device()["barcodes"].size(), 5u);
    EXPECT_EQ(lines_in(ClickerSandbox::read_file(file)), c.lines_in_file);
    // The output that failed is no reason to forget where the scanner is, but nothing is
    // remembered of a run whose output was lost.
    EXPECT_EQ(std::filesystem::exists(sandbox.state_file()), c.exit_code == 2);
  }
}

// Every form prints what was read and says that it is not all.
TEST(SafeDownload, AnIncompleteDownloadExitsTwoInEveryFormat) {
  ClickerSandbox sandbox;
  json device = five_barcode_device();
  device["script"] = json::array({{{"call", "csp2GetPacket"}, {"record", 3}, {"result", -2}}});
  sandbox.write_device(device);
  for (const char* format : {"v03", "v01", "csv", "json", "jsonl"}) {
    const ProgramRun run = sandbox.run({"download", "--format", format});
    EXPECT_EQ(run.exit_code, 2) << format;
    EXPECT_EQ(run.err, "clicker: read 3 of 5 records: the scanner stopped answering\n") << format;
    EXPECT_NE(run.out.find("8712345678906"), std::string::npos) << format;
  }
  const ProgramRun csv = sandbox.run({"download", "--format", "csv"});
  EXPECT_EQ(lines_in(csv.out), 4u);  // the header and the three records read, no placeholder
}

TEST(SafeDownload, AppendAddsRecordsWithoutASecondHeader) {
  ClickerSandbox sandbox;
  const auto csv = sandbox.folder() / "scans.csv";
  const auto jsonl = sandbox.folder() / "scans.jsonl";
  for (int run = 0; run < 2; ++run) {
    sandbox.write_device(two_barcode_device());
    ASSERT_EQ(sandbox.run({"download", "--format", "csv", "--output", csv.string(), "--append"})
                  .exit_code,
              0);
    ASSERT_EQ(sandbox.run({"download", "--format", "jsonl", "--output", jsonl.string(),
                           "--append", "--empty"})
                  .exit_code,
              0);
  }
  const std::string lines = ClickerSandbox::read_file(csv);
  EXPECT_EQ(lines_in(lines), 5u);
  EXPECT_EQ(lines.find("index,"), 0u);
  EXPECT_EQ(lines.find("index,", 1), std::string::npos);
  std::istringstream objects(ClickerSandbox::read_file(jsonl));
  std::string line;
  int count = 0;
  while (std::getline(objects, line)) {
    EXPECT_EQ(json::parse(line)["identifier"], "0123456789ABCDEF");
    ++count;
  }
  EXPECT_EQ(count, 4);
}

}  // namespace
}  // namespace vkd::testing
