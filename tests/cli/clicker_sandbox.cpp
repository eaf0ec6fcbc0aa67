#include "clicker_sandbox.h"

#include <fcntl.h>
#include <signal.h>
#include <gtest/gtest.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

extern char** environ;

namespace vkd::testing {

namespace {

// Everything the program is told about its surroundings comes from the sandbox; the
// rest of the environment (PATH, the sanitizers' options) passes through.
std::vector<std::string> sandbox_environment(const ClickerSandbox& sandbox) {
  const std::vector<std::string> own = {
      "CSP2A_DEVICE=" + sandbox.device_file().string(),
      "CSP2A_TRACE=" + sandbox.trace_file().string(),
      "XDG_DATA_HOME=" + (sandbox.folder() / "data").string(),
      "XDG_STATE_HOME=" + (sandbox.folder() / "state").string(),
      "HOME=" + (sandbox.folder() / "home").string(),
  };
  std::set<std::string> names;
  for (const std::string& entry : own) names.insert(entry.substr(0, entry.find('=')));
  std::vector<std::string> environment = own;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string text = *entry;
    if (!names.contains(text.substr(0, text.find('=')))) environment.push_back(text);
  }
  return environment;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
  std::vector<char*> result;
  for (std::string& text : texts) result.push_back(text.data());
  result.push_back(nullptr);
  return result;
}

}  // namespace

nlohmann::json two_barcode_device(int port) {
  return {{"port", port},
          {"id", "0123456789ABCDEF"},
          {"version", "V1.5"},
          {"clock", {57, 53, 13, 1, 5, 9}},
          {"barcodes",
           {{{"type", 3}, {"text", "8712345678906"}, {"time", "2009-05-01T13:45:02"}},
            {{"type", 11}, {"text", "12345678"}, {"time", "2009-05-01T13:46:10"}}}}};
}

ClickerSandbox::ClickerSandbox() {
  std::string pattern = (std::filesystem::temp_directory_path() / "clicker-test-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create a temporary folder";
  folder_ = pattern;
}

ClickerSandbox::~ClickerSandbox() {
  std::error_code ignored;
  std::filesystem::remove_all(folder_, ignored);
}

void ClickerSandbox::write_state(const std::string& text) const {
  std::filesystem::create_directories(state_file().parent_path());
  write_file(state_file(), text);
}

ProgramRun ClickerSandbox::run(const std::vector<std::string>& arguments,
                               StandardOutput output) const {
  return run_program(CLICKER_PATH, arguments, output);
}

ProgramRun ClickerSandbox::run_program(const std::filesystem::path& program,
                                       const std::vector<std::string>& arguments,
                                       StandardOutput output) const {
  const auto out_file = folder_ / "stdout.txt";
  const auto err_file = folder_ / "stderr.txt";
  std::filesystem::remove(out_file);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  int pipe_ends[2] = {-1, -1};
  switch (output) {
    case StandardOutput::captured:
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, out_file.c_str(),
                                       O_WRONLY | O_CREAT | O_TRUNC, 0600);
      break;
    case StandardOutput::full_device:
      posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/full", O_WRONLY, 0);
      break;
    case StandardOutput::closed:
      posix_spawn_file_actions_addclose(&actions, STDOUT_FILENO);
      break;
    case StandardOutput::broken_pipe:
      if (pipe(pipe_ends) != 0) ADD_FAILURE() << "cannot make a pipe";
      close(pipe_ends[0]);
      posix_spawn_file_actions_adddup2(&actions, pipe_ends[1], STDOUT_FILENO);
      posix_spawn_file_actions_addclose(&actions, pipe_ends[1]);
      break;
  }
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err_file.c_str(),
                                   O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> argument_texts = {program.string()};
  argument_texts.insert(argument_texts.end(), arguments.begin(), arguments.end());
  std::vector<std::string> environment = sandbox_environment(*this);
  std::vector<char*> argv = pointers(argument_texts);
  std::vector<char*> envp = pointers(environment);

  // The signals that end a program as a shell starts it, whatever this test program does
  // with them.
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  sigset_t ending_signals;
  sigemptyset(&ending_signals);
  for (const int signal : {SIGPIPE, SIGHUP, SIGINT, SIGTERM}) sigaddset(&ending_signals, signal);
  posix_spawnattr_setsigdefault(&attributes, &ending_signals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);

  pid_t child = 0;
  const int spawned =
      posix_spawn(&child, program.c_str(), &actions, &attributes, argv.data(), envp.data());
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  if (pipe_ends[1] >= 0) close(pipe_ends[1]);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << program;
    return {};
  }
  int status = 0;
  waitpid(child, &status, 0);
  // Ended by a signal: 128 and its number, as a shell reports it.
  const int exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return {exit_code, read_file(out_file), read_file(err_file)};
}

void ClickerSandbox::write_file(const std::filesystem::path& file, const std::string& text) {
  std::ofstream(file, std::ios::binary) << text;
}

std::string ClickerSandbox::read_file(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace vkd::testing
