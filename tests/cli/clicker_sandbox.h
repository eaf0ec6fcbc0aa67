#pragma once
// Runs the built clicker program as a user would, against the simulated scanner: a
// temporary folder holds the device file (CSP2A_DEVICE) and stands in for the user's
// state and configuration folders (XDG_STATE_HOME, XDG_CONFIG_HOME) and home.
#include <filesystem>
#include <string>
#include <vector>

#include "nlohmann/json.hpp"

namespace vkd::testing {

// A scanner holding two barcodes, with version "V1.5" padded by four NUL characters.
nlohmann::json two_barcode_device(int port = 3);

// Where the program's standard output goes: a file the run reads back, /dev/full, nowhere
// (the descriptor closed), or a pipe whose reading end is closed (the program starts with
// SIGPIPE as a shell gives it, ending the process unless the program sees to it).
enum class StandardOutput { captured, full_device, closed, broken_pipe };

struct ProgramRun {
  int exit_code = -1;
  std::string out;
  std::string err;
};

class ClickerSandbox {
 public:
  ClickerSandbox();
  ~ClickerSandbox();
  ClickerSandbox(const ClickerSandbox&) = delete;
  ClickerSandbox& operator=(const ClickerSandbox&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  std::filesystem::path device_file() const { return folder_ / "device.json"; }
  std::filesystem::path state_file() const {
    return folder_ / "state" / "vkdclicker" / "state.json";
  }
  std::filesystem::path trace_file() const { return folder_ / "trace.txt"; }

  void write_device(const nlohmann::json& device) const {
    write_file(device_file(), device.dump());
  }
  nlohmann::json device() const { return nlohmann::json::parse(read_file(device_file())); }
  void write_state(const std::string& text) const;

  // Runs `program` (the built clicker unless named) with the arguments.
  ProgramRun run(const std::vector<std::string>& arguments,
                 StandardOutput output = StandardOutput::captured) const;
  ProgramRun run_program(const std::filesystem::path& program,
                         const std::vector<std::string>& arguments,
                         StandardOutput output = StandardOutput::captured) const;

  static void write_file(const std::filesystem::path& file, const std::string& text);
  static std::string read_file(const std::filesystem::path& file);

 private:
  std::filesystem::path folder_;
};

}  // namespace vkd::testing
