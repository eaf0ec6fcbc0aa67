#pragma once
// A fresh folder for each test, removed with everything in it afterwards.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace vkd::testing {

class FolderTest : public ::testing::Test {
 protected:
  FolderTest() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vkd-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
    folder_ = pattern;
  }
  ~FolderTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }

  static void write_text(const std::filesystem::path& file, const std::string& text) {
    std::ofstream(file, std::ios::binary) << text;
  }
  static std::string read_text(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
  }
  // The names in the folder, sorted.
  std::vector<std::string> names_in(const std::filesystem::path& folder) const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
  std::vector<std::string> names() const { return names_in(folder_); }

  std::filesystem::path folder_;
};

}  // namespace vkd::testing
