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
// reading. Without CSP2A_DEVICE the built-in demo scanner answers, and its changes last
// as long as the process.
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "scanner/csp2a_functions.h"
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
  const ScriptedResult* scripted(const Call& call, int occurrence) const;
  void refresh();
  void unusable(std::string problem);
  bool store(const Device& device);

  std::mutex mutex_;
  Trace trace_;
  bool started_ = false;
  std::string device_path_;                 // empty for the demo scanner
  std::optional<std::string> device_text_;  // the file as last read or written
  nlohmann::json document_;
  std::optional<std::string> problem_;      // why the device file cannot be used
  std::optional<Scanner> scanner_;
  std::map<std::string_view, int> occurrences_;
};

}  // namespace vkd::sim
