#include "cli/state_file.h"

#include <gtest/gtest.h>

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

TEST_F(StateFileTest, MissingFileGivesNoPortAndAWarning) {
  EXPECT_EQ(read_remembered_port(file, warnings), std::nullopt);
  EXPECT_NE(warnings.str().find("not found"), std::string::npos) << warnings.str();
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

TEST_F(StateFileTest, ConfigurationFolderFollowsXdgConfigHomeThenHome) {
  const std::string saved_xdg =
      std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
  const std::string saved_home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("XDG_CONFIG_HOME", "/somewhere/config", 1);
  setenv("HOME", "/home/user", 1);
  EXPECT_EQ(default_state_file(), std::filesystem::path("/somewhere/config/vkdclicker/state.json"));
  setenv("XDG_CONFIG_HOME", "relative/config", 1);  // not absolute: ignored
  EXPECT_EQ(default_state_file(),
            std::filesystem::path("/home/user/.config/vkdclicker/state.json"));
  unsetenv("XDG_CONFIG_HOME");
  EXPECT_EQ(default_state_file(),
            std::filesystem::path("/home/user/.config/vkdclicker/state.json"));
  unsetenv("HOME");
  EXPECT_EQ(default_state_file(), std::nullopt);
  if (!saved_xdg.empty()) setenv("XDG_CONFIG_HOME", saved_xdg.c_str(), 1);
  if (!saved_home.empty()) setenv("HOME", saved_home.c_str(), 1);
}

}  // namespace
}  // namespace vkd::cli
