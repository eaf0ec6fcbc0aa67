// A second process on the simulated scanner: opens the port given first, runs each
// action that follows and prints one line per action, then releases the port.
//   count      csp2ReadData's result
//   clear      csp2ClearData's result
//   clock      the 6 bytes csp2GetTime writes, in decimal, separated by blanks
//   param:N    the value csp2GetParam writes for parameter N
#include <array>
#include <cstdint>
#include <iostream>
#include <string>

#include "csp2a/library.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::cerr << "usage: sim_probe PORT ACTION...\n";
    return 2;
  }
  vkd::Library& library = vkd::installed_library();
  if (library.csp2Init(std::stoi(argv[1])) != 0) {
    std::cerr << "the port did not open\n";
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    const std::string action = argv[i];
    if (action == "count") {
      std::cout << library.csp2ReadData() << '\n';
    } else if (action == "clear") {
      std::cout << library.csp2ClearData() << '\n';
    } else if (action == "clock") {
      std::array<std::uint8_t, vkd::csp2a::clock_size> clock{};
      library.csp2GetTime(clock.data());
      const char* separator = "";
      for (const std::uint8_t byte : clock) {
        std::cout << separator << int{byte};
        separator = " ";
      }
      std::cout << '\n';
    } else if (action.starts_with("param:")) {
      std::array<std::uint8_t, vkd::csp2a::parameter_size> value{};
      library.csp2GetParam(std::stoi(action.substr(6)), value.data(), vkd::csp2a::parameter_size);
      std::cout << int{value[0]} << '\n';
    } else {
      std::cerr << "unknown action " << action << '\n';
      return 2;
    }
  }
  library.csp2Restore();
  return 0;
}
