#include "fake_library.h"

#include <algorithm>

#include "sim/caller_buffer.h"

namespace vkd::testing {

namespace {
constexpr std::array<std::string_view, function_count> names = {
#define VKD_FAKE_NAME(name, params, args) #name,
    CSP2A_FUNCTIONS(VKD_FAKE_NAME)
#undef VKD_FAKE_NAME
};
}  // namespace

std::string_view function_name(Function function) {
  return names[static_cast<std::size_t>(function)];
}

void FakeLibrary::script(Function function, int occurrence, Answer answer) {
  scripts_[static_cast<std::size_t>(function)].by_occurrence.emplace_back(occurrence,
                                                                          std::move(answer));
}

void FakeLibrary::script_all(Function function, Answer answer) {
  scripts_[static_cast<std::size_t>(function)].every = std::move(answer);
}

void FakeLibrary::handle(Function function, Handler handler) {
  scripts_[static_cast<std::size_t>(function)].handler = std::move(handler);
}

std::vector<std::string> FakeLibrary::call_names() const {
  std::vector<std::string> result;
  result.reserve(calls_.size());
  for (const Call& call : calls_) result.emplace_back(call.name());
  return result;
}

void FakeLibrary::change_device(const std::function<void(sim::Device&)>& change) {
  sim::Device device = scanner().device();
  change(device);
  scanner().replace_device(std::move(device));
}

void FakeLibrary::forget_calls() {
  calls_.clear();
  counts_ = {};
}

std::int32_t FakeLibrary::answer(Function function, std::span<std::uint8_t> output,
                                 std::initializer_list<std::int32_t> numbers, std::span<const std::uint8_t> input,
                                 const ScannerCall& scanner_call) {
  const auto index = static_cast<std::size_t>(function);
  const Script& script = scripts_[index];
  const int occurrence = counts_[index];
  // Taken before the answer fills the output, which may be the same buffer.
  std::vector<std::uint8_t> given;
  if (recording_ == Recording::on) given.assign(input.begin(), input.end());

  const Answer* chosen = nullptr;
  for (const auto& [n, scripted] : script.by_occurrence) {
    if (n == occurrence) chosen = &scripted;
  }
  if (chosen == nullptr && script.every) chosen = &*script.every;

  std::int32_t result = 0;
  if (chosen != nullptr) {
    if (chosen->bytes) {
      const std::size_t n = std::min(output.size(), chosen->bytes->size());
      std::copy_n(chosen->bytes->begin(), n, output.begin());
    }
    result = chosen->result;
  } else if (script.handler) {
    result = script.handler(output, std::span(numbers.begin(), numbers.size()));
  } else {
    result = scanner_call(scanner_);
  }

  if (recording_ == Recording::on) {
    calls_.push_back(Call{function, std::vector(numbers), std::move(given), result});
  }
  return result;
}

// The same call, made on the scanner behind the library (its own class, so that the call
// is a direct one): at once when the call answers plainly, else when no script answers it.
// The other arguments are the answer's output, integer arguments and input.
#define VKD_ANSWER(name, args, ...)                                                             \
  if (answers_plainly(Function::name)) return scanner_.name args;                               \
  return answer(Function::name, __VA_ARGS__,                                                    \
                [=](sim::ScannerLibrary& scanner) { return scanner.name args; })

// The calls without arguments: nothing to record but the call itself.
#define VKD_FAKE_WITHOUT_ARGUMENTS(name) \
  std::int32_t FakeLibrary::name() { VKD_ANSWER(name, (), {}, {}, {}); }
VKD_FAKE_WITHOUT_ARGUMENTS(csp2Restore)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2WakeUp)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2PowerDown)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2ReadData)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2GetSystemStatus)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2ClearData)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2Interrogate)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2GetProtocol)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2GetASCIIMode)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2GetRTCMode)
VKD_FAKE_WITHOUT_ARGUMENTS(csp2SetDefaults)
#undef VKD_FAKE_WITHOUT_ARGUMENTS

// Recorded inputs: the time-stamp bytes of csp2TimeStamp2Str, the clock sent by
// csp2SetTime, and the whole 10-byte parameter buffer of csp2GetParam / csp2SetParam
// (csp2SetParam is told to send 2 of them).
std::int32_t FakeLibrary::csp2Init(std::int32_t port) { VKD_ANSWER(csp2Init, (port), {}, {port}, {}); }
std::int32_t FakeLibrary::csp2GetPacket(std::uint8_t* packet, std::int32_t record, std::int32_t length) {
  VKD_ANSWER(csp2GetPacket, (packet, record, length), sim::caller_buffer(packet, length), {record, length}, {});
}
std::int32_t FakeLibrary::csp2GetDeviceId(std::uint8_t* id, std::int32_t length) {
  VKD_ANSWER(csp2GetDeviceId, (id, length), sim::caller_buffer(id, length), {length}, {});
}
std::int32_t FakeLibrary::csp2TimeStamp2Str(std::uint8_t* stamp, std::uint8_t* text, std::int32_t length) {
  VKD_ANSWER(csp2TimeStamp2Str, (stamp, text, length), sim::caller_buffer(text, length), {length},
             sim::caller_buffer(stamp, csp2a::time_stamp_size));
}
std::int32_t FakeLibrary::csp2GetTime(std::uint8_t* clock) {
  VKD_ANSWER(csp2GetTime, (clock), sim::caller_buffer(clock, csp2a::clock_size), {}, {});
}
std::int32_t FakeLibrary::csp2SetTime(std::uint8_t* clock) {
  VKD_ANSWER(csp2SetTime, (clock), {}, {}, sim::caller_buffer(clock, csp2a::clock_size));
}
std::int32_t FakeLibrary::csp2GetSwVersion(std::uint8_t* version, std::int32_t length) {
  VKD_ANSWER(csp2GetSwVersion, (version, length), sim::caller_buffer(version, length), {length}, {});
}
std::int32_t FakeLibrary::csp2GetParam(std::int32_t parameter, std::uint8_t* value, std::int32_t length) {
  VKD_ANSWER(csp2GetParam, (parameter, value, length), sim::caller_buffer(value, length), {parameter, length},
             sim::caller_buffer(value, csp2a::parameter_size));
}
std::int32_t FakeLibrary::csp2SetParam(std::int32_t parameter, std::uint8_t* value, std::int32_t length) {
  VKD_ANSWER(csp2SetParam, (parameter, value, length), {}, {parameter, length},
             sim::caller_buffer(value, csp2a::parameter_size));
}

#undef VKD_ANSWER

}  // namespace vkd::testing
