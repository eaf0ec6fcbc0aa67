#pragma once
// What the station tests share: a station process and what it says, a cradle's device
// file changed under its lock as the simulated library changes it, the scans played into
// a scanner, and what the store holds in the end.
#include <sys/types.h>

#include <csignal>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "nlohmann/json.hpp"

namespace vkd::testing {

std::string read_text(const std::filesystem::path& file);

// A device file of the simulated scanner library.
class DeviceFile {
 public:
  explicit DeviceFile(std::filesystem::path path) : path_(std::move(path)) {}
  const std::filesystem::path& path() const { return path_; }
  nlohmann::json read() const;
  void write(const nlohmann::json& device) const;  // replaced whole
  // Read, changed and written under the file's lock, as the library changes it.
  void change(const std::function<void(nlohmann::json&)>& change) const;

 private:
  std::filesystem::path path_;
};

// The n-th scan (from 0) of the scanner `identifier`: a barcode entry whose text names
// the scanner and n, stamped with a time of its own.
nlohmann::json nth_scan(const std::string& identifier, int n);

// A `clicker collect` process with its standard error appended to `events`. Its
// environment is the test's, without CSP2A_*, XDG_* and HOME, plus `environment`.
class StationProcess {
 public:
  StationProcess(std::vector<std::string> arguments, std::vector<std::string> environment,
                 std::filesystem::path events);
  ~StationProcess() { stop(SIGKILL); }
  StationProcess(const StationProcess&) = delete;
  StationProcess& operator=(const StationProcess&) = delete;

  void start();
  void stop(int signal);  // and waits for it
  pid_t pid() const { return pid_; }

  std::string events() const { return read_text(events_); }
  std::size_t events_so_far() const { return events().size(); }
  // Whether it said `text` after what it had said before `from`, waiting up to `timeout`.
  bool wait_for_event(const std::string& text, std::size_t from, std::chrono::seconds timeout) const;

 private:
  std::vector<std::string> arguments_;
  std::vector<std::string> environment_;
  std::filesystem::path events_;
  pid_t pid_ = -1;
};

// Every stored record's barcode by scanner, in the order of the batches, as `clicker
// export` gives them; `scratch` is a file for the export.
std::map<std::string, std::vector<std::string>> stored_by_scanner(const std::string& store,
                                                                  const std::filesystem::path& scratch);

}  // namespace vkd::testing
