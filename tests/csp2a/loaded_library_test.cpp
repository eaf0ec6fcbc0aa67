// The binding to a shared scanner library: when it loads, what it binds, and the errors
// a missing library or function raises. Runs on the built-in demo scanner (port 3).
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "automation/error.h"
#include "csp2a/installed_library.h"

namespace vkd {
namespace {

namespace fs = std::filesystem;

bool loaded_in_process(const fs::path& path) {
  void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle != nullptr) dlclose(handle);
  return handle != nullptr;
}

// The error a call raises; fails the test when it raises none.
Error error_of(const std::function<void()>& call) {
  try {
    call();
  } catch (const Error& error) {
    return error;
  }
  ADD_FAILURE() << "no error raised";
  return Error(ErrorNumber::invalid_procedure_call, u"");
}

class LoadedLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ::unsetenv("CSP2A_DEVICE");
    ::unsetenv("CSP2A_TRACE");
    folder_ = fs::temp_directory_path() /
              ("vkd-binding-" + std::to_string(::getpid()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(folder_);
  }
  void TearDown() override { fs::remove_all(folder_); }

  fs::path folder_;
};

TEST_F(LoadedLibraryTest, LoadsOnTheFirstCallAndUnloadsWhenDestroyed) {
  // A copy of our own, so that nothing else in this process has loaded it before.
  const fs::path copy = folder_ / "libcsp2a.so";
  fs::copy_file(VKD_SIM_WITHOUT_SET_DEFAULTS, copy);
  {
    LoadedLibrary library(copy);
    EXPECT_FALSE(loaded_in_process(copy));
    std::array<std::uint8_t, 10> version{};
    EXPECT_EQ(library.csp2GetSwVersion(version.data(), 10), 0);
    EXPECT_TRUE(loaded_in_process(copy));
    EXPECT_NE(version[0], 0);
  }
  EXPECT_FALSE(loaded_in_process(copy));
}

TEST_F(LoadedLibraryTest, MissingLibraryIsFileNotFoundAtEveryCallUntilItAppears) {
  const fs::path path = folder_ / "libcsp2a.so";
  LoadedLibrary library(path);  // nothing is loaded yet, so nothing fails yet
  for (int call = 0; call < 2; ++call) {
    const Error error = error_of([&] { library.csp2Init(3); });
    EXPECT_EQ(error.number(), 53);
    EXPECT_EQ(error.description(), u"File not found: csp2a.DLL");
  }
  fs::copy_file(VKD_SIM_WITHOUT_SET_DEFAULTS, path);
  EXPECT_EQ(library.csp2Init(3), 0);
  EXPECT_EQ(library.csp2Restore(), 0);
}

TEST_F(LoadedLibraryTest, MissingFunctionIsEntryPointNotFoundWhileTheOthersServe) {
  LoadedLibrary library(VKD_SIM_WITHOUT_SET_DEFAULTS);
  EXPECT_EQ(library.csp2Init(3), 0);
  for (int call = 0; call < 2; ++call) {
    const Error error = error_of([&] { library.csp2SetDefaults(); });
    EXPECT_EQ(error.number(), 453);
    EXPECT_EQ(error.description(), u"Can't find DLL entry point csp2SetDefaults in csp2a.DLL");
  }
  EXPECT_EQ(library.csp2Restore(), 0);
  // The library the program finds by name has the function.
  EXPECT_EQ(LoadedLibrary("libcsp2a.so").csp2SetDefaults(), 0);
}

TEST_F(LoadedLibraryTest, ByNameByPathAndInstalledAreTheSameLibrary) {
  LoadedLibrary by_name("libcsp2a.so");
  LoadedLibrary by_path(VKD_SIM_LIBRARY);
  ASSERT_EQ(by_name.csp2Init(3), 0);
  // The port that one handle holds is held for the others: they share one library.
  constexpr std::int32_t port_in_use = -6;
  EXPECT_EQ(by_path.csp2Init(3), port_in_use);
  EXPECT_EQ(installed_library().csp2Init(3), port_in_use);
  EXPECT_EQ(by_path.csp2Restore(), 0);
  EXPECT_EQ(installed_library().csp2Init(3), 0);
  EXPECT_EQ(by_name.csp2Restore(), 0);
}

TEST_F(LoadedLibraryTest, ThreadsRacingOnTheFirstCallAllReachTheFunction) {
  LoadedLibrary library(VKD_SIM_LIBRARY);
  std::atomic<int> served = 0;
  std::vector<std::thread> threads;
  for (int i = 0; i < 8; ++i) {
    threads.emplace_back([&] {
      std::array<std::uint8_t, 30> text{};
      std::array<std::uint8_t, 4> stamp{};
      if (library.csp2TimeStamp2Str(stamp.data(), text.data(), 30) == 0 && text[0] != 0) ++served;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(served, 8);
}

}  // namespace
}  // namespace vkd
