#include <unistd.h>

#include <cstdlib>

#include "cli/platform.h"

namespace vkd::cli {

std::vector<std::string> utf8_arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

void prepare_standard_streams() {}

bool standard_error_is_terminal() { return isatty(STDERR_FILENO) == 1; }

std::optional<std::filesystem::path> user_configuration_folder() {
  // An XDG variable that is set but empty, or relative, is to be ignored.
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && std::filesystem::path(xdg).is_absolute()) return std::filesystem::path(xdg);
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::filesystem::path(home) / ".config";
  return std::nullopt;
}

void replace_file(const std::filesystem::path& from, const std::filesystem::path& to,
                  std::error_code& error) {
  std::filesystem::rename(from, to, error);
}

}  // namespace vkd::cli
