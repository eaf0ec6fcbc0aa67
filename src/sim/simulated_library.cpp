#include "sim/simulated_library.h"

#include <algorithm>
#include <cstdlib>
#include <utility>
#include <variant>

#include "files/file_lock.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "sim/caller_buffer.h"
#include "sim/device_file.h"
#include "sim/result.h"

namespace vkd::sim {

namespace {

// Every reading and every change of the device file holds its lock (files/file_lock.h).
std::optional<files::FileLock> lock_device_file(const std::string& path, std::string& problem) {
  std::error_code error;
  std::optional<files::FileLock> lock = files::FileLock::take(path, error);
  if (!lock) {
    problem = error == std::errc::is_a_directory ? std::string("is a folder")
                                                 : "cannot be read or locked: " + error.message();
  }
  return lock;
}

std::optional<std::string> read_device_file(const std::string& path, std::string& problem) {
  auto content = files::read_file(path, max_device_file_size);
  if (auto* text = std::get_if<std::string>(&content)) return std::move(*text);
  const files::ReadFailure& failure = std::get<files::ReadFailure>(content);
  switch (failure.problem) {
    case files::ReadProblem::folder:
      problem = "is a folder";
      break;
    case files::ReadProblem::not_regular:
      problem = "is not a regular file";
      break;
    case files::ReadProblem::too_large:
      problem = "is larger than " + std::to_string(max_device_file_size) + " bytes";
      break;
    default:
      problem = "cannot be read: " + failure.error.message();
  }
  return std::nullopt;
}

}  // namespace

SimulatedLibrary& SimulatedLibrary::instance() {
  // Freed when the library is unloaded, so that loading and unloading it leaks nothing.
  static SimulatedLibrary library;
  return library;
}

std::int32_t SimulatedLibrary::serve(Call& call, const std::function<Answer(Scanner&)>& answer) {
  const std::lock_guard lock(mutex_);
  if (call.name == "csp2Init" || (!scanner_ && !problem_)) refresh();
  const int occurrence = ++occurrences_[call.name];
  Scanner* scanner = problem_ || !scanner_ ? nullptr : &*scanner_;
  const ScriptedResult* script = scanner != nullptr ? scripted(scanner->device(), call, occurrence) : nullptr;
  Answer answered{result::device_unusable};
  if (script != nullptr) {
    const std::size_t n = script->bytes ? std::min(script->bytes->size(), call.output.bytes.size()) : 0;
    if (n > 0) std::copy_n(script->bytes->begin(), n, call.output.bytes.begin());
    answered = {script->result, n};
  } else if (scanner != nullptr) {
    answered = answer(*scanner);
  }
  call.line.bytes(call.output.name, call.output.bytes.first(answered.written));
  trace_.write(call.line.finish(answered.result, script != nullptr));
  return answered.result;
}

const ScriptedResult* SimulatedLibrary::scripted(const Device& device, const Call& call,
                                                 int occurrence) {
  for (const ScriptedResult& entry : device.script) {
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
  if (path.empty()) return serve_demo();
  std::string problem;
  std::optional<std::string> text;
  if (const auto lock = lock_device_file(path, problem)) text = read_device_file(path, problem);
  if (!text) return unusable(path, std::move(problem));
  const bool same_device = scanner_ && path == device_path_;
  if (!same_device || text != device_text_) {
    auto parsed = parse_device_file(*text);
    if (auto* why = std::get_if<std::string>(&parsed)) return unusable(path, std::move(*why));
    Device& device = std::get<LoadedDevice>(parsed).device;
    if (same_device) {
      scanner_->replace_device(std::move(device));
    } else {
      scanner_.emplace(std::move(device),
                       [this](const Device&, const Scanner::Change& change) { return store(change); });
    }
    device_path_ = path;
    device_text_ = std::move(text);
    occurrences_.clear();
  }
  problem_.reset();
}

void SimulatedLibrary::serve_demo() {
  problem_.reset();
  if (scanner_ && device_path_.empty()) return;  // already the demo
  device_path_.clear();
  device_text_.reset();
  occurrences_.clear();
  scanner_.emplace(demo_device(), Scanner::in_memory());
}

// Everything else stays as it was, to be served again once the file can be used.
void SimulatedLibrary::unusable(const std::string& path, std::string problem) {
  trace_.message("device file " + path + " cannot be used, every call fails: " + problem);
  problem_ = std::move(problem);
}

std::optional<Device> SimulatedLibrary::store(const Scanner::Change& change) {
  std::string problem;
  std::optional<Device> changed;
  if (const auto lock = lock_device_file(device_path_, problem)) changed = change_file(change, problem);
  if (!changed) {
    trace_.message("device file " + device_path_ + " not updated, the change is undone: " + problem);
  }
  return changed;
}

std::optional<Device> SimulatedLibrary::change_file(const Scanner::Change& change, std::string& problem) {
  std::optional<std::string> text = read_device_file(device_path_, problem);
  if (!text) return std::nullopt;
  auto parsed = parse_device_file(*text);
  if (auto* why = std::get_if<std::string>(&parsed)) {
    problem = std::move(*why);
    return std::nullopt;
  }
  LoadedDevice& loaded = std::get<LoadedDevice>(parsed);
  change(loaded.device);
  std::string written = updated_document(loaded.document, loaded.device).dump(2) + "\n";
  const files::WriteResult replaced = files::replace_file(device_path_, written);
  if (replaced.error) {
    problem = "cannot be replaced: " + replaced.error.message();
    return std::nullopt;
  }
  if (replaced.folder_not_flushed) {
    trace_.message("device file " + device_path_ +
                   " replaced, but its folder could not be flushed: " + replaced.folder_not_flushed.message());
  }
  device_text_ = std::move(written);
  return std::move(loaded.device);
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
  Call call("csp2GetPacket", {"packet", caller_buffer(packet, length)}, record);
  call.line.number("record", record).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.packet(record, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetDeviceId(std::uint8_t* id, std::int32_t length) {
  Call call("csp2GetDeviceId", {"id", caller_buffer(id, length)});
  call.line.number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.device_id(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2TimeStamp2Str(std::uint8_t* stamp, std::uint8_t* text,
                                                 std::int32_t length) {
  Call call("csp2TimeStamp2Str", {"text", caller_buffer(text, length)});
  call.line.bytes("stamp", caller_buffer(stamp, csp2a::time_stamp_size)).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.time_stamp_text(stamp, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetTime(std::uint8_t* clock) {
  Call call("csp2GetTime", {"clock", caller_buffer(clock, csp2a::clock_size)});
  return serve(call, [&](Scanner& scanner) { return scanner.clock(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2SetTime(std::uint8_t* clock) {
  Call call("csp2SetTime");
  const auto given = caller_buffer(clock, csp2a::clock_size);
  call.line.bytes("clock", given);
  return serve(call, [&](Scanner& scanner) { return scanner.set_clock(given); });
}

std::int32_t SimulatedLibrary::csp2GetSwVersion(std::uint8_t* version, std::int32_t length) {
  Call call("csp2GetSwVersion", {"version", caller_buffer(version, length)});
  call.line.number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.version(call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2GetParam(std::int32_t parameter, std::uint8_t* value,
                                            std::int32_t length) {
  Call call("csp2GetParam", {"value", caller_buffer(value, length)}, parameter);
  call.line.number("parameter", parameter).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.parameter(parameter, call.output.bytes); });
}

std::int32_t SimulatedLibrary::csp2SetParam(std::int32_t parameter, std::uint8_t* value,
                                            std::int32_t length) {
  Call call("csp2SetParam", {}, parameter);
  const auto given = caller_buffer(value, length);
  call.line.number("parameter", parameter).bytes("value", given).number("length", length);
  return serve(call, [&](Scanner& scanner) { return scanner.set_parameter(parameter, given); });
}

}  // namespace vkd::sim
