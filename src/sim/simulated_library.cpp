#include "sim/simulated_library.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <variant>

#include "sim/atomic_file.h"
#include "sim/device_file.h"
#include "sim/result.h"

namespace vkd::sim {

namespace {

std::span<std::uint8_t> buffer(std::uint8_t* bytes, std::int32_t length) {
  if (bytes == nullptr || length <= 0) return {};
  return {bytes, static_cast<std::size_t>(length)};
}

}  // namespace

SimulatedLibrary& SimulatedLibrary::instance() {
  // Freed when the library is unloaded, so that loading and unloading it leaks nothing.
  static SimulatedLibrary library;
  return library;
}

std::int32_t SimulatedLibrary::serve(Call& call, const std::function<Answer(Scanner&)>& answer) {
  const std::lock_guard lock(mutex_);
  if (!started_ || call.name == "csp2Init") refresh();
  const int occurrence = ++occurrences_[call.name];
  Answer answered{result::device_unusable};
  const ScriptedResult* script = problem_ ? nullptr : scripted(call, occurrence);
  if (script != nullptr) {
    const std::size_t n = script->bytes ? std::min(script->bytes->size(), call.output.bytes.size()) : 0;
    if (n > 0) std::copy_n(script->bytes->begin(), n, call.output.bytes.begin());
    answered = {script->result, n};
  } else if (!problem_) {
    answered = answer(*scanner_);
  }
  call.line.bytes(call.output.name, call.output.bytes.first(answered.written));
  trace_.write(call.line.finish(answered.result, script != nullptr));
  return answered.result;
}

const ScriptedResult* SimulatedLibrary::scripted(const Call& call, int occurrence) const {
  for (const ScriptedResult& entry : scanner_->device().script) {
    if (entry.call == call.name && (!entry.occurrence || *entry.occurrence == occurrence) &&
        (!entry.argument || entry.argument == call.argument)) {
      return &entry;
    }
  }
  return nullptr;
}

void SimulatedLibrary::refresh() {
  trace_.follow(std::getenv("CSP2A_TRACE"));
  const char* named = std::getenv("CSP2A_DEVICE");
  const std::string path = named == nullptr ? "" : named;
  const bool same_device = started_ && path == device_path_;
  started_ = true;
  if (path.empty()) {
    if (!same_device) {
      device_path_.clear();
      problem_.reset();
      occurrences_.clear();
      scanner_.emplace(demo_device(), [](const Device&) { return true; });
    }
    return;
  }
  std::optional<std::string> text = read_file(path);
  if (same_device && text == device_text_) return;
  device_path_ = path;
  device_text_ = std::move(text);
  occurrences_.clear();
  if (!same_device) scanner_.reset();
  if (!device_text_) return unusable("cannot be read");
  auto parsed = parse_device_file(*device_text_);
  if (auto* problem = std::get_if<std::string>(&parsed)) return unusable(std::move(*problem));
  LoadedDevice& loaded = std::get<LoadedDevice>(parsed);
  document_ = std::move(loaded.document);
  problem_.reset();
  if (scanner_) {
    scanner_->replace_device(std::move(loaded.device));
  } else {
    scanner_.emplace(std::move(loaded.device), [this](const Device& device) { return store(device); });
  }
}

void SimulatedLibrary::unusable(std::string problem) {
  trace_.message("device file " + device_path_ + " cannot be used, every call fails: " + problem);
  problem_ = std::move(problem);
}

bool SimulatedLibrary::store(const Device& device) {
  if (device_path_.empty()) return true;
  nlohmann::json updated = updated_document(document_, device);
  std::string text = updated.dump(2) + "\n";
  std::string problem;
  if (!replace_file(device_path_, text, problem)) {
    trace_.message("device file " + device_path_ + " not updated, the change is undone: " + problem);
    return false;
  }
  document_ = std::move(updated);
  device_text_ = std::move(text);
  return true;
}

std::int32_t SimulatedLibrary::csp2Init(std::int32_t port) {
  Call call("csp2Init", {}, port);
  call.line.number("port", port);
  return serve(call, [&](Scanner& scanner) { return scanner.open(port); });
}

std::int32_t SimulatedLibrary::csp2Restore() {
  Call call("csp2Restore");
  return serve(call, [](Scanner& scanner) { return scanner.release(); });
}

std::int32_t SimulatedLibrary::csp2WakeUp() {
  Call call("csp2WakeUp");
  return serve(call, [](Scanner& scanner) { return scanner.command(); });
}

std::int32_t SimulatedLibrary::csp2PowerDown() {
  Call call("csp2PowerDown");
  return serve(call, [](Scanner& scanner) { return scanner.command(); });
}

std::int32_t SimulatedLibrary::csp2Interrogate() {
  Call call("csp2Interrogate");
  return serve(call, [](Scanner& scanner) { return scanner.command(); });
}

std::int32_t SimulatedLibrary::csp2ReadData() {
  Call call("csp2ReadData");
  return serve(call, [](Scanner& scanner) { return scanner.read_data(); });
}

std::int32_t SimulatedLibrary::csp2GetSystemStatus() {
  Call call("csp2GetSystemStatus");
  return serve(call, [](Scanner& scanner) { return scanner.system_status(); });
}

std::int32_t SimulatedLibrary::csp2GetProtocol() {
  Call call("csp2GetProtocol");
  return serve(call, [](Scanner& scanner) { return scanner.protocol(); });
}

std::int32_t SimulatedLibrary::csp2GetASCIIMode() {
  Call call("csp2GetASCIIMode");
  return serve(call, [](Scanner& scanner) { return scanner.ascii_mode(); });
}

std::int32_t SimulatedLibrary::csp2GetRTCMode() {
  Call call("csp2GetRTCMode");
  return serve(call, [](Scanner& scanner) { return scanner.rtc_mode(); });
}

std::int32_t SimulatedLibrary::csp2ClearData() {
  Call call("csp2ClearData");
  return serve(call, [](Scanner& scanner) { return scanner.clear_data(); });
}

std::int32_t SimulatedLibrary::csp2SetDefaults() {
  Call call("csp2SetDefaults");
  return serve(call, [](Scanner& scanner) { return scanner.restore_defaults(); });
}

std::int32_t SimulatedLibrary::csp2GetPacket(std::uint8_t* packet, std::int32_t record,
                                             std::int32_t length) {
  Call call("csp2GetPacket", {"packet", buffer(packet, length)}, record);
  call.line.number("record", record).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.packet(record, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetDeviceId(std::uint8_t* id, std::int32_t length) {
  Call call("csp2GetDeviceId", {"id", buffer(id, length)});
  call.line.number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.device_id(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2TimeStamp2Str(std::uint8_t* stamp, std::uint8_t* text,
                                                 std::int32_t length) {
  Call call("csp2TimeStamp2Str", {"text", buffer(text, length)});
  call.line.bytes("stamp", buffer(stamp, csp2a::time_stamp_size)).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.time_stamp_text(stamp, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetTime(std::uint8_t* clock) {
  Call call("csp2GetTime", {"clock", buffer(clock, csp2a::clock_size)});
  return serve(call, [&](Scanner& scanner) { return scanner.clock(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2SetTime(std::uint8_t* clock) {
  Call call("csp2SetTime");
  const auto given = buffer(clock, csp2a::clock_size);
  call.line.bytes("clock", given);
  return serve(call, [&](Scanner& scanner) { return scanner.set_clock(given); });
}

std::int32_t SimulatedLibrary::csp2GetSwVersion(std::uint8_t* version, std::int32_t length) {
  Call call("csp2GetSwVersion", {"version", buffer(version, length)});
  call.line.number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.version(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetParam(std::int32_t parameter, std::uint8_t* value,
                                            std::int32_t length) {
  Call call("csp2GetParam", {"value", buffer(value, length)}, parameter);
  call.line.number("parameter", parameter).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.parameter(parameter, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2SetParam(std::int32_t parameter, std::uint8_t* value,
                                            std::int32_t length) {
  Call call("csp2SetParam", {}, parameter);
  const auto given = buffer(value, length);
  call.line.number("parameter", parameter).bytes("value", given).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.set_parameter(parameter, given); });
}

}  // namespace vkd::sim
