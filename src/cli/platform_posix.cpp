#include <fcntl.h>
#include <sys/wait.h>
#include <signal.h>
#include <unistd.h>

#include <cstdlib>

#include "cli/platform.h"

namespace vkd::cli {

namespace {

// An XDG variable that is set but empty, or relative, is to be ignored.
std::optional<std::filesystem::path> xdg_folder(const char* variable, const char* under_home) {
  const char* xdg = std::getenv(variable);
  if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) return std::filesystem::path(xdg);
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::filesystem::path(home) / under_home;
  return std::nullopt;
}

std::string program_folder() {
  std::error_code error;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", error);
  return error ? std::string("the program's folder") : program.parent_path().string();
}

}  // namespace

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

// A closed descriptor 0, 1 or 2 would be handed to the next file opened, and output
// meant for the terminal would land in it. /dev/null opened for reading takes its place:
// writing to it fails, as writing to the closed stream would have. A pipe whose reader
// has gone (`clicker download | head`) is a write that fails like any other, reported,
// with the scanner left as it was, not the end of the program by SIGPIPE.
void prepare_standard_streams() {
  ::signal(SIGPIPE, SIG_IGN);
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (fcntl(fd, F_GETFD) == -1) {
      const int placeholder = open("/dev/null", O_RDONLY);
      if (placeholder != fd && placeholder >= 0) close(placeholder);
    }
  }
}

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) == 1; }

std::optional<std::filesystem::path> user_state_folder() {
  return xdg_folder("XDG_STATE_HOME", ".local/state");
}

std::optional<std::filesystem::path> user_data_folder() { return xdg_folder("XDG_DATA_HOME", ".local/share"); }

std::string computer_name() {
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0 || name[0] == '\0') return "station";
  return name;
}

void set_environment(const std::string& name, const std::string& value) { ::setenv(name.c_str(), value.c_str(), 1); }

int run_shell_command(const std::string& command) {
  const int status = std::system(command.c_str());
  if (status == -1 || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The order in which the dynamic loader searches for it, the program's RUNPATH ($ORIGIN)
// included.
std::string library_search_text() {
  std::string text = "libcsp2a.so was looked for in ";
  if (const char* paths = std::getenv("LD_LIBRARY_PATH"); paths != nullptr && *paths != '\0') {
    text += "LD_LIBRARY_PATH (";
    text += paths;
    text += "), ";
  }
  return text + program_folder() +
         " (the program's folder) and the system's library folders (/etc/ld.so.conf, /lib, "
         "/usr/lib)";
}

}  // namespace vkd::cli
