#pragma once
// An in-process stand-in for the scanner library: every call answers from a script (per
// function and occurrence) or a handler, for the faults a test injects, and otherwise
// from a simulated scanner that the test describes as data (by default one on port 0
// that holds nothing). Unless recording is off, every call is recorded with its
// arguments so that a test can assert the exact call sequence.
#include <array>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "csp2a/library.h"
#include "sim/device.h"
#include "sim/scanner_library.h"

namespace vkd::testing {

enum class Function : std::size_t {
#define VKD_FAKE_ENUM(name, params, args) name,
  CSP2A_FUNCTIONS(VKD_FAKE_ENUM)
#undef VKD_FAKE_ENUM
};
inline constexpr std::size_t function_count = static_cast<std::size_t>(Function::csp2SetDefaults) + 1;
std::string_view function_name(Function function);

struct Call {
  Function function;
  std::vector<std::int32_t> numbers;  // the integer arguments, in order
  std::vector<std::uint8_t> input;    // the bytes the call was given (see fake_library.cpp)
  std::int32_t result = 0;

  std::string_view name() const { return function_name(function); }
};

// What a call answers: its result and, optionally, the bytes copied into its output
// buffer first (never more than the buffer holds).
struct Answer {
  std::int32_t result = 0;
  std::optional<std::vector<std::uint8_t>> bytes;
};

// A computed answer: gets the output buffer (empty for calls without one) and the
// integer arguments, fills what it wants and returns the result.
using Handler = std::function<std::int32_t(std::span<std::uint8_t> output,
                                           std::span<const std::int32_t> numbers)>;

class FakeLibrary final : public Library {
 public:
  enum class Recording { on, off };
  explicit FakeLibrary(sim::Device device = {}, Recording recording = Recording::on)
      : recording_(recording), scanner_(std::move(device)) {}
  explicit FakeLibrary(Recording recording) : FakeLibrary(sim::Device{}, recording) {}

  // The scanner behind the library.
  sim::Scanner& scanner() { return scanner_.scanner(); }
  // Describes the scanner anew, as it is from here on: a held port stays held.
  void change_device(const std::function<void(sim::Device&)>& change);

  // Answers the occurrence-th call (counted from 1) of the function.
  void script(Function function, int occurrence, Answer answer);
  // Answers every call of the function that no occurrence script answers.
  void script_all(Function function, Answer answer);
  // Answers every call of the function that no script answers.
  void handle(Function function, Handler handler);

  const std::vector<Call>& calls() const { return calls_; }
  std::vector<std::string> call_names() const;
  int count(Function function) const { return counts_[static_cast<std::size_t>(function)]; }
  void forget_calls();

#define VKD_FAKE_OVERRIDE(name, params, args) std::int32_t name params override;
  CSP2A_FUNCTIONS(VKD_FAKE_OVERRIDE)
#undef VKD_FAKE_OVERRIDE

 private:
  using ScannerCall = std::function<std::int32_t(sim::ScannerLibrary&)>;

  // Counts the call; whether it is neither scripted nor recorded, as in the benchmarks,
  // so that it is the scanner's answer at once, without the work of looking for a script.
  bool answers_plainly(Function function) {
    const auto index = static_cast<std::size_t>(function);
    ++counts_[index];
    return recording_ == Recording::off && scripts_[index].is_empty();
  }
  // A counted call's scripted answer; `scanner_call` makes the same call on the scanner
  // behind the library, for a call no script answers.
  std::int32_t answer(Function function, std::span<std::uint8_t> output, std::initializer_list<std::int32_t> numbers,
                      std::span<const std::uint8_t> input, const ScannerCall& scanner_call);

  struct Script {
    std::vector<std::pair<int, Answer>> by_occurrence;
    std::optional<Answer> every;
    Handler handler;

    bool is_empty() const { return by_occurrence.empty() && !every && !handler; }
  };
  Recording recording_;
  std::array<Script, function_count> scripts_{};
  std::array<int, function_count> counts_{};
  std::vector<Call> calls_;
  sim::ScannerLibrary scanner_;
};

}  // namespace vkd::testing
