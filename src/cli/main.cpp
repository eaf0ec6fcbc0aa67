#include <exception>
#include <iostream>

#include "cli/exit_code.h"
#include "cli/platform.h"
#include "cli/run.h"

int main(int argc, char** argv) {
  vkd::cli::prepare_standard_streams();
  try {
    return vkd::cli::run(vkd::cli::utf8_arguments(argc, argv), std::cout, std::cerr);
  } catch (const std::exception& error) {  // out of memory, a broken stream: nothing of ours
    std::cerr << "clicker: " << error.what() << "\n";
    return vkd::cli::exit_failure;
  }
}
