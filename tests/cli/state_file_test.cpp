#include "cli/platform.h"
#include "cli/state_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "clicker_sandbox.h"

namespace vkd::cli {
namespace {

using testing::ClickerSandbox;

class StateFileTest : public ::testing::Test {
 protected:
  ClickerSandbox sandbox;
  std::filesystem::path file = sandbox.folder() / "config" / "vkdclicker" / "state.json";
  std::ostringstream warnings;
};

TEST_F(StateFileTest, RemembersAPortAcrossRunsAndCreatesItsFolder) {
  remember_port(file, 7, warnings);
  EXPECT_EQ(read_remembered_port(file, warnings), 7);
  remember_port(file, 12, warnings);
  EXPECT_EQ(read_remembered_port(file, warnings), 12);
  EXPECT_EQ(warnings.str(), "");
  // Nothing is left beside it: the temporary file became the state file.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(file.parent_path()),
                          std::filesystem::directory_iterator()),
            1);
}

TEST_F(StateFileTest, MissingFileGivesNoPortSilently) {
  EXPECT_EQ(read_remembered_port(file, warnings), std::nullopt);
  EXPECT_EQ(warnings.str(), "");
}

// Read, these would eat memory until the program is killed, or wait for ever.
TEST_F(StateFileTest, OnlyASmallRegularFileIsRead) {
  std::filesystem::create_directories(file.parent_path());
  const auto fifo = sandbox.folder() / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const auto large = sandbox.folder() / "large.json";
  ClickerSandbox::write_file(large, R"({"port": 3})" + std::string(64 * 1024, ' '));
  for (const std::filesystem::path& target : {std::filesystem::path("/dev/zero"), fifo, large,
                                              sandbox.folder()}) {
    std::filesystem::remove(file);
    std::filesystem::create_symlink(target, file);
    warnings.str("");
    EXPECT_EQ(read_remembered_port(file, warnings), std::nullopt) << target;
    EXPECT_NE(warnings.str().find("not a regular file under 64 KiB"), std::string::npos)
        << warnings.str();
  }
  // A link to a small regular file is read like the file.
  const auto small = sandbox.folder() / "small.json";
  ClickerSandbox::write_file(small, R"({"port": 3})" + std::string(64 * 1024 - 12, ' '));
  std::filesystem::remove(file);
  std::filesystem::create_symlink(small, file);
  EXPECT_EQ(read_remembered_port(file, warnings), 3);
}

TEST_F(StateFileTest, MalformedFilesGiveNoPortAndAWarning) {
  std::filesystem::create_directories(file.parent_path());
  for (const char* text :
       {"", "{", "[3]", R"({"port": "3"})", R"({"port": -1})", R"({"port": 32768})",
        R"({"port": 3.5})", R"({"lastport": 3})", "\xFF\xFE"}) {
    ClickerSandbox::write_file(file, text);
    warnings.str("");
    EXPECT_EQ(read_remembered_port(file, warnings), std::nullopt) << text;
    EXPECT_NE(warnings.str().find("warning"), std::string::npos) << text;
  }
}

TEST_F(StateFileTest, AFolderThatCannotBeMadeIsAWarningOnly) {
  ClickerSandbox::write_file(sandbox.folder() / "config", "a file where the folder should be");
  remember_port(file, 3, warnings);
  EXPECT_NE(warnings.str().find("cannot create the folder"), std::string::npos) << warnings.str();
}

// The data folder of the station's store, found by the same rule.
std::optional<std::filesystem::path> data_folder_file() {
  const auto folder = user_data_folder();
  if (!folder) return std::nullopt;
  return *folder / "vkdclicker" / "state.json";
}

TEST_F(StateFileTest, StateFolderFollowsXdgStateHomeThenHome) {
  const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  const struct {
    const char* variable;
    std::optional<std::filesystem::path> (*file)();
    const char* under_home;
  } places[] = {{"XDG_STATE_HOME", default_state_file, "/home/user/.local/state"},
                {"XDG_DATA_HOME", data_folder_file, "/home/user/.local/share"}};
  for (const auto& [variable, file_of, under_home] : places) {
    const std::string saved = std::getenv(variable) ? std::getenv(variable) : "";
    setenv(variable, "/somewhere/else", 1);
    setenv("HOME", "/home/user", 1);
    EXPECT_EQ(file_of(), std::filesystem::path("/somewhere/else/vkdclicker/state.json"));
    setenv(variable, "relative/folder", 1);  // not absolute: ignored
    EXPECT_EQ(file_of(), std::filesystem::path(under_home) / "vkdclicker/state.json");
    unsetenv(variable);
    EXPECT_EQ(file_of(), std::filesystem::path(under_home) / "vkdclicker/state.json");
    unsetenv("HOME");
    EXPECT_EQ(file_of(), std::nullopt);
    if (!saved.empty()) setenv(variable, saved.c_str(), 1);
  }
  if (!saved_home.empty()) setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace vkd::cli
