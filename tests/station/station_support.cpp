#include "station_support.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <thread>

#include "files/file_lock.h"
#include "files/replace_file.h"

extern char** environ;

namespace vkd::testing {

namespace fs = std::filesystem;
using nlohmann::json;

std::string read_text(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

json DeviceFile::read() const { return json::parse(read_text(path_)); }

void DeviceFile::write(const json& device) const {
  ASSERT_FALSE(files::replace_file(path_, device.dump(2) + "\n").error);
}

void DeviceFile::change(const std::function<void(json&)>& change) const {
  std::error_code error;
  const auto lock = files::FileLock::take(path_, error);
  ASSERT_TRUE(lock) << error.message();
  json device = read();
  change(device);
  write(device);
}

json nth_scan(const std::string& identifier, int n) {
  char when[32];
  std::snprintf(when, sizeof when, "2024-%02d-%02dT%02d:%02d:00", 1 + n / (28 * 24 * 60) % 12, 1 + n / (24 * 60) % 28,
                n / 60 % 24, n % 60);
  return {{"type", 3}, {"text", identifier.substr(12) + "-" + std::to_string(n)}, {"time", when}};
}

StationProcess::StationProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                               fs::path events)
    : arguments_(std::move(arguments)), environment_(std::move(environment)), events_(std::move(events)) {}

void StationProcess::start() {
  std::vector<std::string> environment = environment_;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!text.starts_with("CSP2A_") && !text.starts_with("XDG_") && !text.starts_with("HOME=")) {
      environment.push_back(text);
    }
  }
  std::vector<std::string> arguments = arguments_;
  const auto pointers = [](std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
  };
  std::vector<char*> argv = pointers(arguments);
  std::vector<char*> envp = pointers(environment);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, events_.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  ASSERT_EQ(spawned, 0);
}

void StationProcess::stop(int signal) {
  if (pid_ <= 0) return;
  ::kill(pid_, signal);
  int status = 0;
  ::waitpid(pid_, &status, 0);
  pid_ = -1;
}

bool StationProcess::wait_for_event(const std::string& text, std::size_t from, std::chrono::seconds timeout) const {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (events().substr(from).find(text) == std::string::npos) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return true;
}

std::map<std::string, std::vector<std::string>> stored_by_scanner(const std::string& store, const fs::path& scratch) {
  const std::string command =
      std::string(CLICKER_PATH) + " export --format jsonl --store '" + store + "' > '" + scratch.string() + "'";
  EXPECT_EQ(std::system(command.c_str()), 0);
  std::map<std::string, std::vector<std::string>> stored;
  std::istringstream lines(read_text(scratch));
  for (std::string line; std::getline(lines, line);) {
    const json record = json::parse(line);
    stored[record["scanner"]].push_back(record["barcode"]);
  }
  return stored;
}

}  // namespace vkd::testing
