#pragma once
// The simulated library as the component meets it: loaded by name through the real
// binding. Each test has a folder of its own with a device file and a trace file, named
// to the library through CSP2A_DEVICE and CSP2A_TRACE, which it reads again at every
// csp2Init; so every test begins with a csp2Init.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

#include "csp2a/library.h"
#include "sim/result.h"

namespace vkd::testing {

namespace fs = std::filesystem;
using nlohmann::json;
using Bytes = std::vector<std::uint8_t>;
namespace result = sim::result;

// What a buffer holds where the library wrote nothing.
inline constexpr std::uint8_t untouched = 0xEE;

inline Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

inline json barcode(int type, const std::string& text, const std::string& time = "2009-05-17T14:30:15") {
  return {{"type", type}, {"text", text}, {"time", time}};
}

inline std::string read_text(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::stringstream text;
  text << file.rdbuf();
  return text.str();
}

// Another process, running from its construction on; its standard output is read once
// it has ended.
class ChildProcess {
 public:
  explicit ChildProcess(std::string command)
      : command_(std::move(command)), output_(::popen(command_.c_str(), "r")) {}
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;
  ~ChildProcess() {
    if (output_ != nullptr) ::pclose(output_);
  }

  // Waits for its end, which must be with status 0, and gives the lines it printed.
  std::vector<std::string> lines() {
    std::vector<std::string> lines;
    if (output_ == nullptr) {
      ADD_FAILURE() << "cannot start " << command_;
      return lines;
    }
    std::string text;
    for (int c = std::fgetc(output_); c != EOF; c = std::fgetc(output_)) text += static_cast<char>(c);
    EXPECT_EQ(::pclose(std::exchange(output_, nullptr)), 0) << command_;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
  }

 private:
  std::string command_;
  FILE* output_;
};

class SimTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = fs::temp_directory_path() /
              ("vkd-sim-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    ::setenv("CSP2A_TRACE", trace_path().c_str(), 1);
  }
  void TearDown() override {
    ::unsetenv("CSP2A_DEVICE");
    ::unsetenv("CSP2A_TRACE");
    fs::remove_all(folder_);
    library().csp2Restore();  // no port stays held for the next test
  }

  static Library& library() { return installed_library(); }

  fs::path device_path() const { return folder_ / "device.json"; }
  fs::path trace_path() const { return folder_ / "trace.txt"; }

  void use_device_text(const std::string& text) {
    std::ofstream(device_path(), std::ios::binary) << text;
    ::setenv("CSP2A_DEVICE", device_path().c_str(), 1);
  }
  void use_device(const json& device) { use_device_text(device.dump(2)); }
  json device_file() const { return json::parse(read_text(device_path())); }

  // The built-in scanner, afresh: switching to it from another device starts it anew.
  void use_demo() {
    use_device({{"port", 99}});
    library().csp2Init(-1);
    ::unsetenv("CSP2A_DEVICE");
  }

  std::vector<std::string> trace_lines() const {
    std::vector<std::string> lines;
    std::istringstream text(read_text(trace_path()));
    for (std::string line; std::getline(text, line);) lines.push_back(line);
    return lines;
  }

  // Opens the scanner's port and takes its records in; returns the count.
  std::int32_t open_and_read(std::int32_t port = 3) {
    EXPECT_EQ(library().csp2Init(port), result::ok);
    return library().csp2ReadData();
  }

  fs::path folder_;
};

}  // namespace vkd::testing
