#pragma once
// The process-wide simulated library behind the exported functions: it finds its device
// through the environment, lets the device file's script answer first, has the scanner
// answer otherwise, keeps the device file up to date and traces every call.
//
// CSP2A_DEVICE and CSP2A_TRACE are read at the first call and again at every csp2Init.
// The device file is read again at a csp2Init when the variable names another file or the
// file's content changed since it was last read or written (another process may have
// emptied the scanner). Naming another file is like plugging in another scanner: its
// port is free and no records are taken in; a changed file describes the same scanner,
// whose held port and taken-in records stay. Script occurrences count afresh from every
// such reading. Without CSP2A_DEVICE the built-in demo scanner answers, and its changes
// last as long as the process.
//
// A file that cannot be read or understood makes every call fail until a csp2Init reads
// a good one, and changes nothing else: the scanner served before, its held port and its
// taken-in records are there again once the file is. Each change to the device is made
// under the file's lock to the file as it is then (see files/file_lock.h).
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "csp2a/csp2a_functions.h"
#include "sim/scanner.h"
#include "sim/trace.h"

namespace vkd::sim {

class SimulatedLibrary {
 public:
  static SimulatedLibrary& instance();

#define VKD_SIM_DECLARE(name, params, args) std::int32_t name params;
  CSP2A_FUNCTIONS(VKD_SIM_DECLARE)
#undef VKD_SIM_DECLARE

 private:
  // The buffer a call fills, named as the trace shows it.
  struct Output {
    std::string_view name;
    std::span<std::uint8_t> bytes;
  };

  struct Call {
    explicit Call(std::string_view function, Output filled = {},
                  std::optional<std::int32_t> matched = {})
        : name(function), output(filled), argument(matched), line(function) {}
    std::string_view name;
    Output output;
    std::optional<std::int32_t> argument;  // what a script's port, record or parameter matches
    TraceLine line;
  };

  std::int32_t serve(Call& call, const std::function<Answer(Scanner&)>& answer);
  static const ScriptedResult* scripted(const Device& device, const Call& call, int occurrence);
  void refresh();
  void serve_demo();
  void unusable(const std::string& path, std::string problem);
  std::optional<Device> store(const Scanner::Change& change);
  // The rest of store, while the file's lock is held.
  std::optional<Device> change_file(const Scanner::Change& change, std::string& problem);

  std::mutex mutex_;
  Trace trace_;
  std::string device_path_;                 // empty for the demo scanner
  std::optional<std::string> device_text_;  // the file as last read or written
  std::optional<std::string> problem_;      // why the device file cannot be used
  std::optional<Scanner> scanner_;          // none before the first good reading
  std::map<std::string_view, int> occurrences_;
};

}  // namespace vkd::sim
