#pragma once

namespace vkd::cli {

enum ExitCode : int {
  exit_ok = 0,
  exit_failure = 1,   // an error was raised, or the command line was refused
  exit_not_done = 2,  // the scanner did not answer, was not emptied or refused the clock
};

}  // namespace vkd::cli
