// Device files: what makes one unusable, and how the library keeps one up to date for
// itself and for other processes.
#include <algorithm>
#include <array>

#include "sim_fixture.h"

namespace vkd::testing {
namespace {

class DeviceFile : public SimTest {
 protected:
  // The lines sim_probe prints for its actions on the device, from another process.
  std::vector<std::string> probe(const std::string& actions) {
    return ChildProcess(std::string(VKD_SIM_PROBE) + " 3 " + actions).lines();
  }
};

TEST_F(DeviceFile, AnUnusableFileFailsEveryCallAndSaysWhyInTheTrace) {
  const std::string long_text(251, 'X');
  const struct {
    std::string text;
    const char* why;
  } cases[] = {
      {"{\"port\": 3,", "not JSON"},
      {R"({"port": 1e999})", "not JSON"},
      {"[3]", "expected an object"},
      {R"({"prot": 3})", "unknown key \"prot\""},
      {R"({"port": "3"})", "\"port\": expected a whole number"},
      {R"({"id": "0102"})", "\"id\": expected 8 bytes in hex"},
      {R"({"version": "ABCDEFGHIJK"})", "at most 10 bytes"},
      {R"({"clock": [1, 2, 3, 4, 5]})", "\"clock\": expected 6 bytes"},
      {R"({"clock": [1, 2, 3, 4, 5, 256]})", "from 0 to 255"},
      {R"({"running_clock": 1})", "true or false"},
      {R"({"barcodes": [{"type": 1, "text": ")" + long_text + R"(", "time": "2009-05-01T13:45:02"}]})",
       "\"barcodes\": [0] \"text\": expected at most 250 bytes, not 251"},
      {R"({"barcodes": [{"type": 256, "text": "A", "time": "2009-05-01T13:45:02"}]})", "\"type\""},
      {R"({"barcodes": [{"type": 1, "text": "A", "time": "2009-02-29T13:45:02"}]})", "\"time\""},
      {R"({"barcodes": [{"type": 1, "text": "A", "time": "1999-05-01T13:45:02"}]})", "\"time\""},
      {R"({"barcodes": [{"type": 1, "text": "A", "stamp": "FFFF"}]})", "\"stamp\": expected 4 bytes"},
      {R"({"barcodes": [{"type": 1, "text": "A"}]})", "\"time\" or \"stamp\" missing"},
      {R"({"barcodes": [{"type": 1, "text": "A", "text_hex": "41", "time": "2009-05-01T13:45:02"}]})",
       "both given"},
      {R"({"parameters": {"256": 1}})", "parameter number from 0 to 255"},
      {R"({"script": [{"call": "csp2Fly", "result": 0}]})", "names a library function"},
      {R"({"script": [{"call": "csp2Init"}]})", "\"result\" missing"},
      {R"({"script": [{"call": "csp2ClearData", "port": 3, "result": 0}]})", "does not fit"},
      {R"({"script": [{"call": "csp2ClearData", "bytes": "00", "result": 0}]})", "fills no buffer"},
      {R"({"script": [{"call": "csp2Init", "occurrence": 0, "result": 0}]})", "\"occurrence\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    fs::remove(trace_path());
    use_device_text(c.text);
    Bytes version(10, untouched);
    std::array<std::uint8_t, 4> stamp{};
    EXPECT_EQ(library().csp2Init(3), result::device_unusable);
    EXPECT_EQ(library().csp2ReadData(), result::device_unusable);
    EXPECT_EQ(library().csp2GetSwVersion(version.data(), 10), result::device_unusable);
    EXPECT_EQ(library().csp2TimeStamp2Str(stamp.data(), version.data(), 10), result::device_unusable);
    EXPECT_EQ(version, Bytes(10, untouched));
    const std::vector<std::string> lines = trace_lines();
    ASSERT_FALSE(lines.empty());
    EXPECT_TRUE(lines[0].starts_with("# device file " + device_path().string() + " cannot be used"))
        << lines[0];
    EXPECT_NE(lines[0].find(c.why), std::string::npos) << lines[0];
  }
}

TEST_F(DeviceFile, AMissingFileIsUnusableUntilItAppears) {
  ::setenv("CSP2A_DEVICE", device_path().c_str(), 1);
  EXPECT_EQ(library().csp2Init(3), result::device_unusable);
  EXPECT_NE(trace_lines().at(0).find("cannot be read"), std::string::npos);
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  EXPECT_EQ(open_and_read(), 1);
}

TEST_F(DeviceFile, ChangesAreWrittenBackAndTheRestOfTheFileIsKept) {
  const json script = {{{"call", "csp2GetTime"}, {"occurrence", 99}, {"result", 0}}};
  use_device({{"port", 3},
              {"version", "KEEP"},
              {"clock", {0, 0, 12, 1, 1, 9}},
              {"barcodes", {barcode(28, "40012345")}},
              {"parameters", {{"5", 30}}},
              {"script", script}});
  ASSERT_EQ(open_and_read(), 1);
  std::array<std::uint8_t, 6> clock = {59, 59, 23, 31, 12, 99};
  std::array<std::uint8_t, 10> value = {7, 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  ASSERT_EQ(library().csp2SetTime(clock.data()), result::ok);
  ASSERT_EQ(library().csp2SetParam(200, value.data(), 2), result::ok);
  json file = device_file();
  EXPECT_EQ(file["clock"], json({59, 59, 23, 31, 12, 99}));
  EXPECT_EQ(file["parameters"], json({{"5", 30}, {"200", 7}}));
  EXPECT_EQ(file["barcodes"].size(), 1u);

  ASSERT_EQ(library().csp2ClearData(), result::ok);
  ASSERT_EQ(library().csp2SetDefaults(), result::ok);
  file = device_file();
  EXPECT_EQ(file["barcodes"], json::array());
  EXPECT_EQ(file["parameters"], json::object());
  EXPECT_EQ(file["version"], "KEEP");
  EXPECT_EQ(file["script"], script);
  EXPECT_EQ(file["port"], 3);
}

TEST_F(DeviceFile, AnotherProcessSeesTheChangesAndTheirsAreSeenAtTheNextInit) {
  use_device({{"port", 3},
              {"clock", {0, 0, 12, 1, 1, 9}},
              {"barcodes", {barcode(28, "40012345"), barcode(28, "40012346")}}});
  ASSERT_EQ(open_and_read(), 2);
  std::array<std::uint8_t, 6> clock = {1, 2, 3, 4, 5, 6};
  std::array<std::uint8_t, 10> value = {77, 0, ' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  ASSERT_EQ(library().csp2SetTime(clock.data()), result::ok);
  ASSERT_EQ(library().csp2SetParam(12, value.data(), 2), result::ok);
  library().csp2Restore();
  EXPECT_EQ(probe("count clock param:12 clear count"),
            std::vector<std::string>({"2", "1 2 3 4 5 6", "77", "0", "0"}));

  // The other process emptied the scanner; this one reads the file again at its csp2Init.
  ASSERT_EQ(library().csp2Init(3), result::ok);
  EXPECT_EQ(library().csp2ReadData(), 0);
}

TEST_F(DeviceFile, AChangedFileIsReadAgainAtTheNextInitOnly) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  ASSERT_EQ(open_and_read(), 1);
  use_device({{"port", 3}, {"barcodes", {barcode(28, "1"), barcode(28, "2"), barcode(28, "3")}}});
  EXPECT_EQ(library().csp2ReadData(), 1);
  // The same scanner described anew: the port it held is still held.
  EXPECT_EQ(library().csp2Init(3), result::port_in_use);
  EXPECT_EQ(library().csp2ReadData(), 3);
}

TEST_F(DeviceFile, TheFileIsReplacedWholeNeverRewrittenInPlace) {
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  const std::string before = read_text(device_path());
  // A second name for the old file: an in-place rewrite would show through it.
  fs::create_hard_link(device_path(), folder_ / "old.json");
  ASSERT_EQ(open_and_read(), 1);
  ASSERT_EQ(library().csp2ClearData(), result::ok);
  EXPECT_EQ(read_text(folder_ / "old.json"), before);
  EXPECT_EQ(device_file()["barcodes"], json::array());
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_)) names.push_back(entry.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, std::vector<std::string>({"device.json", "old.json", "trace.txt"}));
}

TEST_F(DeviceFile, ALinkStaysALinkAndItsTargetIsReplacedKeepingItsPermissions) {
  const fs::path target = folder_ / "real" / "scanner.json";
  fs::create_directories(target.parent_path());
  std::ofstream(target) << json({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}}).dump();
  const auto permissions = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(target, permissions);
  fs::create_symlink(fs::path("real") / "scanner.json", device_path());  // relative to its folder
  ::setenv("CSP2A_DEVICE", device_path().c_str(), 1);

  ASSERT_EQ(open_and_read(), 1);
  ASSERT_EQ(library().csp2ClearData(), result::ok);
  EXPECT_TRUE(fs::is_symlink(device_path()));
  EXPECT_EQ(fs::read_symlink(device_path()), fs::path("real") / "scanner.json");
  EXPECT_EQ(json::parse(read_text(target))["barcodes"], json::array());
  EXPECT_EQ(fs::status(target).permissions(), permissions);
  std::vector<fs::path> beside_target;
  for (const auto& entry : fs::directory_iterator(target.parent_path())) beside_target.push_back(entry.path());
  EXPECT_EQ(beside_target, std::vector<fs::path>{target});
}

// As the system sees it: the new file's content reaches the disk before the rename makes
// it the device file, and the rename reaches it with the folder's flush after.
TEST_F(DeviceFile, TheNewFileIsOnTheDiskBeforeTheRenameAndTheRenameAfterIt) {
  if (std::string(VKD_STRACE).empty()) GTEST_SKIP() << "strace is not installed";
  use_device({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}});
  const fs::path calls = folder_ / "calls.txt";
  // The leak checker of a sanitizer build cannot work under a tracer, and is not what
  // this is about.
  const std::string command = "ASAN_OPTIONS=detect_leaks=0 " + std::string(VKD_STRACE) + " -f -y -e trace=fsync,fdatasync,rename,renameat,renameat2 -o " +
                              calls.string() + " " + VKD_SIM_PROBE + " 3 clear";
  EXPECT_EQ(ChildProcess(command).lines(), std::vector<std::string>{"0"});

  std::vector<std::string> lines;
  std::istringstream text(read_text(calls));
  for (std::string line; std::getline(text, line);) lines.push_back(line);
  const auto first_with = [&](auto from, const std::string& call, const std::string& argument) {
    return std::find_if(from, lines.end(), [&](const std::string& line) {
      return line.find(" " + call) != std::string::npos && line.find(argument) != std::string::npos;
    });
  };
  const auto flushed = first_with(lines.begin(), "fsync(", ".tmp>");
  ASSERT_NE(flushed, lines.end()) << read_text(calls);
  const auto renamed = first_with(flushed, "rename", "\"" + device_path().string() + "\")");
  ASSERT_NE(renamed, lines.end()) << read_text(calls);
  EXPECT_NE(first_with(renamed, "fsync(", "<" + folder_.string() + ">"), lines.end()) << read_text(calls);
}

TEST_F(DeviceFile, AChangeThatCannotBeWrittenIsUndoneAndFails) {
  const fs::path sub = folder_ / "sub";
  fs::create_directories(sub);
  std::ofstream(sub / "device.json") << json({{"port", 3}, {"barcodes", {barcode(28, "40012345")}}}).dump();
  ::setenv("CSP2A_DEVICE", (sub / "device.json").c_str(), 1);
  ASSERT_EQ(open_and_read(), 1);
  fs::remove_all(sub);
  EXPECT_EQ(library().csp2ClearData(), result::device_unusable);
  EXPECT_EQ(library().csp2ReadData(), 1);
  std::array<std::uint8_t, 10> value = {7, 0};
  EXPECT_EQ(library().csp2SetParam(12, value.data(), 2), result::device_unusable);
  EXPECT_EQ(library().csp2GetParam(12, value.data(), 10), result::ok);
  EXPECT_NE(value[0], 7);
  const std::vector<std::string> lines = trace_lines();
  EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                          [](const std::string& line) {
                            return line.starts_with("# device file ") &&
                                   line.find("not updated, the change is undone") != std::string::npos;
                          }),
            2);
}

}  // namespace
}  // namespace vkd::testing
