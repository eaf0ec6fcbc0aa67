#pragma once
// The command from its arguments to its exit status.
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "automation/host.h"
#include "cli/arguments.h"
#include "csp2a/library.h"

namespace vkd::cli {

struct Environment {
  Library& library;
  Host& host;
  std::ostream& out;
  std::ostream& err;
  bool err_is_terminal = false;
  std::optional<std::filesystem::path> state_file;  // none: nothing remembered
};

int execute(const Invocation& invocation, Environment& environment);

// With the installed library, the system's clocks and the user's state file.
int run(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err);

}  // namespace vkd::cli
