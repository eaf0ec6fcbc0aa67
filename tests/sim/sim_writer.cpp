// One of several processes that change one device file at the same time:
//
//   sim_writer NAME SEED STEPS FIRST_PARAMETER
//
// holds the port of the scanner in CSP2A_DEVICE, then takes STEPS steps, each drawn from
// SEED: erase the scanner, add a barcode NAME-n (n counting from 1) to the file itself
// under the device file's lock, set one of the 50 parameters from FIRST_PARAMETER (which
// no other writer sets), or set the clock to a value no step of any writer repeats.
//
// Before each step and after the last it checks that the file still holds everything it
// did that nobody else undoes: its parameters, and its barcodes since the last erase (some erase by
// anyone may have removed them all, never only some). The first fault ends it with
// status 1 and a line on standard error. Otherwise it prints what it did as one JSON
// line, for the test to check the file's final state against:
//
//   {"adds": n, "erased_up_to": k, "parameters": {"N": value, ...},
//    "last_clock": [6 bytes] or null, "steps": {"erase": c, "add": c, "parameter": c, "clock": c}}
#include <array>
#include <cstdint>
#include <iostream>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <variant>

#include <nlohmann/json.hpp>

#include "csp2a/library.h"
#include "files/file_lock.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "sim/device_file.h"

namespace {

using nlohmann::json;
constexpr int own_parameters = 50;

class Writer {
 public:
  Writer(std::string name, std::string path, int first_parameter)
      : name_(std::move(name)), path_(std::move(path)), first_parameter_(first_parameter) {}

  bool start() {
    if (library_.csp2Init(3) != 0) return fault("the port did not open");
    // The factory values, which the file leaves out.
    for (int number = first_parameter_; number < first_parameter_ + own_parameters; ++number) {
      std::array<std::uint8_t, vkd::csp2a::parameter_size> value{};
      if (library_.csp2GetParam(number, value.data(), vkd::csp2a::parameter_size) != 0) {
        return fault("parameter " + std::to_string(number) + " cannot be read");
      }
      factory_[number] = value[0];
    }
    parameters_ = factory_;
    return true;
  }

  bool step(int index, std::mt19937& random) {
    if (!still_holds_what_it_did()) return false;
    const int kind = std::uniform_int_distribution<int>(0, 99)(random);
    if (kind < 15) return erase();
    if (kind < 50) return add();
    if (kind < 80) {
      const int number = first_parameter_ + std::uniform_int_distribution<int>(0, own_parameters - 1)(random);
      return set_parameter(number, static_cast<std::uint8_t>(std::uniform_int_distribution<int>(0, 255)(random)));
    }
    return set_clock(index);
  }

  bool finish() {
    if (!still_holds_what_it_did()) return false;
    library_.csp2Restore();
    std::cout << json{{"adds", adds_},
                      {"erased_up_to", erased_up_to_},
                      {"parameters", parameters_json()},
                      {"last_clock", last_clock_ ? json(*last_clock_) : json()},
                      {"steps", steps_}}
                     .dump()
              << '\n';
    return true;
  }

 private:
  bool erase() {
    ++steps_["erase"];
    if (library_.csp2ClearData() != 0) return fault("csp2ClearData failed");
    erased_up_to_ = adds_;
    return true;
  }

  // As a scanner takes a scan in: straight into the file, under the lock the library takes.
  bool add() {
    ++steps_["add"];
    std::error_code error;
    const auto lock = vkd::files::FileLock::take(path_, error);
    if (!lock) return fault("no lock: " + error.message());
    const std::optional<std::string> text = read_device();
    if (!text) return fault("cannot read the file to add");
    json device = json::parse(*text);
    const int n = adds_ + 1;
    device["barcodes"].push_back({{"type", 1}, {"text", name_ + "-" + std::to_string(n)}, {"time", "2024-05-15T09:30:00"}});
    const auto replaced = vkd::files::replace_file(path_, device.dump(2) + "\n");
    if (replaced.error) return fault("cannot add: " + replaced.error.message());
    adds_ = n;
    return true;
  }

  std::optional<std::string> read_device() const {
    auto content = vkd::files::read_file(path_, vkd::sim::max_device_file_size);
    if (auto* text = std::get_if<std::string>(&content)) return std::move(*text);
    return std::nullopt;
  }

  bool set_parameter(int number, std::uint8_t value) {
    ++steps_["parameter"];
    std::array<std::uint8_t, vkd::csp2a::parameter_size> given{value};
    if (library_.csp2SetParam(number, given.data(), 2) != 0) return fault("csp2SetParam failed");
    parameters_[number] = value;
    return true;
  }

  // Clock values are told apart by the step (second and minute) and the writer (hour:
  // writers own different parameters).
  bool set_clock(int index) {
    ++steps_["clock"];
    const std::array<std::uint8_t, 6> clock = {static_cast<std::uint8_t>(index % 60),
                                               static_cast<std::uint8_t>(index / 60 % 60),
                                               static_cast<std::uint8_t>(first_parameter_ / own_parameters), 15, 5, 24};
    std::array<std::uint8_t, 6> given = clock;
    if (library_.csp2SetTime(given.data()) != 0) return fault("csp2SetTime failed");
    last_clock_ = clock;
    return true;
  }

  bool still_holds_what_it_did() {
    // Read under the lock too: on Windows a file held open, even for reading, cannot be
    // replaced, and the library's change at that moment would fail.
    std::error_code error;
    std::optional<std::string> text;
    if (const auto lock = vkd::files::FileLock::take(path_, error)) text = read_device();
    if (!text) return fault("cannot read the file: " + error.message());
    const json device = json::parse(*text);
    const json listed = device.value("parameters", json::object());
    for (const auto& [number, value] : parameters_) {
      if (listed.value(std::to_string(number), factory_.at(number)) != value) {
        return fault("parameter " + std::to_string(number) + " lost its value " + std::to_string(value));
      }
    }
    // Its barcodes present are the last ones it added, in order, or none.
    int expected = 0;
    for (const json& barcode : device.value("barcodes", json::array())) {
      const std::string text_of = barcode.value("text", "");
      if (!text_of.starts_with(name_ + "-")) continue;
      const int n = std::stoi(text_of.substr(name_.size() + 1));
      if (n <= erased_up_to_) return fault(text_of + " came back after it was erased");
      if (expected != 0 && n != expected) return fault(text_of + " follows a gap");
      expected = n + 1;
    }
    if (expected != 0 && expected != adds_ + 1) return fault("its last barcodes were lost");
    return true;
  }

  json parameters_json() const {
    json result = json::object();
    for (const auto& [number, value] : parameters_) result[std::to_string(number)] = value;
    return result;
  }

  bool fault(const std::string& what) {
    std::cerr << name_ << ": " << what << '\n';
    return false;
  }

  vkd::Library& library_ = vkd::installed_library();
  std::string name_;
  std::string path_;
  int first_parameter_;
  int adds_ = 0;
  int erased_up_to_ = 0;  // its barcodes up to this one were erased
  std::map<int, int> factory_;     // the file lists only the values that differ
  std::map<int, int> parameters_;  // what it set last, or the factory value
  std::optional<std::array<std::uint8_t, 6>> last_clock_;
  std::map<std::string, int> steps_ = {{"erase", 0}, {"add", 0}, {"parameter", 0}, {"clock", 0}};
};

}  // namespace

int main(int argc, char** argv) {
  const char* device = std::getenv("CSP2A_DEVICE");
  if (argc != 5 || device == nullptr) {
    std::cerr << "usage: CSP2A_DEVICE=FILE sim_writer NAME SEED STEPS FIRST_PARAMETER\n";
    return 2;
  }
  Writer writer(argv[1], device, std::stoi(argv[4]));
  std::mt19937 random(static_cast<std::uint32_t>(std::stoul(argv[2])));
  if (!writer.start()) return 1;
  const int steps = std::stoi(argv[3]);
  for (int index = 0; index < steps; ++index) {
    if (!writer.step(index, random)) return 1;
  }
  return writer.finish() ? 0 : 1;
}
