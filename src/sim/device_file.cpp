// Device files are JSON. Every key is optional: what a file leaves out is as on the
// built-in demo scanner, except that it holds no barcodes and no script. Unknown keys
// make the file unusable, so that a misspelt key is never silently ignored.
//
// {
//   "port": 3,                         the port on which csp2Init answers 0
//   "id": "104A007E2391C50B",          the 8 identifier bytes in hex
//   "version": "SIM 2.10",             at most 10 bytes, padded with NUL bytes
//   "clock": [5, 20, 16, 4, 5, 9],     second, minute, hour, day, month, year in the
//                                      century, as raw bytes 0-255 (255 stays 255)
//   "running_clock": false,            true: csp2GetTime reads the computer's local time
//   "docked": true,                    false: lifted from its cradle, nothing answers
//   "barcodes": [
//     {"type": 22, "text": "4006381333931", "time": "2009-05-01T09:12:44"},
//     {"type": 3, "text_hex": "41FF00", "stamp": "FFFFFFFF"}
//   ],
//   "parameters": {"5": 30, "12": 0},  parameter number 0-255 -> value 0-255
//   "script": [
//     {"call": "csp2ClearData", "occurrence": 3, "result": 2},
//     {"call": "csp2Init", "port": 0, "result": -4},
//     {"call": "csp2GetTime", "result": 0, "bytes": "FF0F09110507"}
//   ]
// }
//
// A barcode has a "type" 0-255, its text as "text" (the UTF-8 bytes of the string) or
// "text_hex" (any bytes), at most 250 bytes, and its time stamp as "time" (a date and
// time from 2000 to 2063) or "stamp" (the 4 raw stamp bytes in hex, unknown fields
// included). Parameters not listed keep their factory values.
//
// A script entry answers calls of the function named by "call" instead of the device.
// "occurrence" narrows it to the n-th call of that function, counted from 1 since the
// file was read; "port" (csp2Init), "record" (csp2GetPacket) or "parameter"
// (csp2GetParam, csp2SetParam) to calls with that argument. The first entry that matches
// answers: its "bytes" (hex) go into the call's output buffer as far as the buffer
// reaches, its "result" is returned, and the device itself does nothing.
#include "sim/device_file.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <optional>

#include "csp2a/csp2a_functions.h"
#include "files/hex.h"

namespace vkd::sim {

namespace {

using nlohmann::json;

// A reader checks one value and fills its part of the target, or describes what it
// expected in `problem`; the caller puts the place in front of the description.
template <class Target>
using Reader = std::function<bool(const json& value, Target& target, std::string& problem)>;
template <class Target>
using Readers = std::map<std::string, Reader<Target>>;

bool expected(std::string& problem, std::string what) {
  problem = "expected " + std::move(what);
  return false;
}

bool read_number(const json& value, std::int64_t low, std::int64_t high, std::int64_t& number,
                 std::string& problem) {
  const auto range = "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
  if (!value.is_number_integer()) return expected(problem, range);
  if (value.is_number_unsigned() && value.get<std::uint64_t>() > static_cast<std::uint64_t>(high)) {
    return expected(problem, range);
  }
  number = value.get<std::int64_t>();
  if (number < low || number > high) return expected(problem, range);
  return true;
}

template <class Integer>
bool read_integer(const json& value, Integer& target, std::string& problem,
                  std::int64_t low = std::numeric_limits<Integer>::min(),
                  std::int64_t high = std::numeric_limits<Integer>::max()) {
  std::int64_t number = 0;
  if (!read_number(value, low, high, number, problem)) return false;
  target = static_cast<Integer>(number);
  return true;
}

bool read_hex(const json& value, std::optional<std::size_t> size, std::vector<std::uint8_t>& bytes,
              std::string& problem) {
  const std::string what =
      size ? std::to_string(*size) + " bytes in hex" : std::string("bytes in hex");
  if (!value.is_string()) return expected(problem, what);
  auto parsed = files::from_hex(value.get<std::string>());
  if (!parsed || (size && parsed->size() != *size)) return expected(problem, what);
  bytes = std::move(*parsed);
  return true;
}

template <std::size_t n>
bool read_hex_array(const json& value, std::array<std::uint8_t, n>& target, std::string& problem) {
  std::vector<std::uint8_t> bytes;
  if (!read_hex(value, n, bytes, problem)) return false;
  std::copy(bytes.begin(), bytes.end(), target.begin());
  return true;
}

bool read_clock(const json& value, Clock& clock, std::string& problem) {
  if (!value.is_array() || value.size() != clock.size()) {
    return expected(problem, "6 bytes: second, minute, hour, day, month, year");
  }
  for (std::size_t i = 0; i < clock.size(); ++i) {
    if (!read_integer(value[i], clock[i], problem)) return false;
  }
  return true;
}

bool read_version(const json& value, Version& version, std::string& problem) {
  if (!value.is_string() || value.get<std::string>().size() > version.size()) {
    return expected(problem, "a text of at most 10 bytes");
  }
  const std::string text = value.get<std::string>();
  version.fill(0);
  std::copy(text.begin(), text.end(), version.begin());
  return true;
}

// "YYYY-MM-DDThh:mm:ss", a real date and time from 2000 to 2063.
std::optional<TimeStamp> stamp_from_time(const std::string& text) {
  constexpr std::string_view shape = "0000-00-00T00:00:00";
  if (text.size() != shape.size()) return std::nullopt;
  for (std::size_t i = 0; i < shape.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == '0' ? !digit : text[i] != shape[i]) return std::nullopt;
  }
  const auto field = [&](std::size_t at, std::size_t length) {
    return std::stoi(text.substr(at, length));
  };
  const int year = field(0, 4);
  const int month = field(5, 2);
  const int day = field(8, 2);
  const StampFields fields{.second = field(17, 2), .minute = field(14, 2), .hour = field(11, 2),
                           .day = day, .month = month, .year = year - 2000};
  const std::chrono::year_month_day date{std::chrono::year{year},
                                        std::chrono::month{static_cast<unsigned>(month)},
                                        std::chrono::day{static_cast<unsigned>(day)}};
  if (year < 2000 || year > 2063 || !date.ok() || fields.hour > 23 || fields.minute > 59 ||
      fields.second > 59) {
    return std::nullopt;
  }
  return pack(fields);
}

// Reads the members of an object through a table of readers, refusing unknown keys and
// naming the key of the first problem.
template <class Target>
bool read_members(const json& object, const Readers<Target>& readers, Target& target,
                  std::string& problem) {
  if (!object.is_object()) return expected(problem, "an object");
  for (const auto& [key, value] : object.items()) {
    const auto reader = readers.find(key);
    if (reader == readers.end()) {
      problem = "unknown key \"" + key + "\"";
      return false;
    }
    if (!reader->second(value, target, problem)) {
      problem = "\"" + key + "\": " + problem;
      return false;
    }
  }
  return true;
}

// Exactly one of two keys that give the same thing in two ways.
bool one_of(const json& object, const std::string& first, const std::string& second,
            std::string& problem) {
  const bool has_first = object.contains(first);
  if (has_first != object.contains(second)) return true;
  problem = "\"" + first + (has_first ? "\" and \"" : "\" or \"") + second +
            (has_first ? "\" both given" : "\" missing");
  return false;
}

bool required(const json& object, const std::string& key, std::string& problem) {
  if (object.contains(key)) return true;
  problem = "\"" + key + "\" missing";
  return false;
}

// Reads each element of an array, naming the index of the first problem.
template <class Element>
bool read_elements(const json& array, std::vector<Element>& elements, std::string& problem,
                   const std::function<bool(const json&, Element&, std::string&)>& read) {
  if (!array.is_array()) return expected(problem, "an array");
  elements.clear();
  elements.reserve(array.size());
  for (std::size_t i = 0; i < array.size(); ++i) {
    Element element;
    if (!read(array[i], element, problem)) {
      problem = "[" + std::to_string(i) + "] " + problem;
      return false;
    }
    elements.push_back(std::move(element));
  }
  return true;
}

bool read_text_bytes(const std::vector<std::uint8_t>& bytes, Barcode& barcode, std::string& problem) {
  if (bytes.size() > max_text_size) {
    return expected(problem, "at most 250 bytes, not " + std::to_string(bytes.size()));
  }
  barcode.text.assign(bytes.begin(), bytes.end());
  return true;
}

const Readers<Barcode> barcode_readers = {
    {"type", [](const json& v, Barcode& b, std::string& p) { return read_integer(v, b.type, p); }},
    {"text",
     [](const json& v, Barcode& b, std::string& p) {
       if (!v.is_string()) return expected(p, "a text");
       const std::string text = v.get<std::string>();
       return read_text_bytes({text.begin(), text.end()}, b, p);
     }},
    {"text_hex",
     [](const json& v, Barcode& b, std::string& p) {
       std::vector<std::uint8_t> bytes;
       return read_hex(v, std::nullopt, bytes, p) && read_text_bytes(bytes, b, p);
     }},
    {"time",
     [](const json& v, Barcode& b, std::string& p) {
       const auto stamp = v.is_string() ? stamp_from_time(v.get<std::string>()) : std::nullopt;
       if (!stamp) return expected(p, "a date and time like \"2009-05-01T13:45:02\", from 2000 to 2063");
       b.stamp = *stamp;
       return true;
     }},
    {"stamp", [](const json& v, Barcode& b, std::string& p) { return read_hex_array(v, b.stamp, p); }},
};

bool read_barcode(const json& value, Barcode& barcode, std::string& problem) {
  return read_members(value, barcode_readers, barcode, problem) &&
         required(value, "type", problem) && one_of(value, "text", "text_hex", problem) &&
         one_of(value, "time", "stamp", problem);
}

bool read_parameters(const json& value, Parameters& parameters, std::string& problem) {
  if (!value.is_object()) return expected(problem, "an object of parameter numbers");
  for (const auto& [key, member] : value.items()) {
    const bool number = !key.empty() && key.size() <= 3 &&
                        std::all_of(key.begin(), key.end(), [](char c) { return c >= '0' && c <= '9'; }) &&
                        std::stoi(key) <= 255;
    if (!number) {
      problem = "\"" + key + "\": expected a parameter number from 0 to 255";
      return false;
    }
    if (!read_integer(member, parameters[static_cast<std::size_t>(std::stoi(key))], problem)) {
      problem = "\"" + key + "\": " + problem;
      return false;
    }
  }
  return true;
}

constexpr std::string_view function_names[] = {
#define VKD_SIM_FUNCTION_NAME(name, params, args) #name,
    CSP2A_FUNCTIONS(VKD_SIM_FUNCTION_NAME)
#undef VKD_SIM_FUNCTION_NAME
};

constexpr std::string_view calls_with_output[] = {"csp2GetPacket", "csp2GetDeviceId",
                                                  "csp2TimeStamp2Str", "csp2GetTime",
                                                  "csp2GetSwVersion", "csp2GetParam"};

bool contains(auto&& range, std::string_view name) {
  return std::find(std::begin(range), std::end(range), name) != std::end(range);
}

// A script key that matches the call's first integer argument, for the calls it fits.
Reader<ScriptedResult> argument_of(std::vector<std::string_view> calls) {
  return [calls = std::move(calls)](const json& v, ScriptedResult& s, std::string& p) {
    if (!contains(calls, s.call)) {
      p = "does not fit " + s.call;
      return false;
    }
    s.argument.emplace();
    return read_integer(v, *s.argument, p);
  };
}

const Readers<ScriptedResult> script_readers = {
    {"call", [](const json&, ScriptedResult&, std::string&) { return true; }},  // read first
    {"result", [](const json& v, ScriptedResult& s, std::string& p) { return read_integer(v, s.result, p); }},
    {"occurrence",
     [](const json& v, ScriptedResult& s, std::string& p) {
       s.occurrence.emplace();
       return read_integer(v, *s.occurrence, p, 1);
     }},
    {"port", argument_of({"csp2Init"})},
    {"record", argument_of({"csp2GetPacket"})},
    {"parameter", argument_of({"csp2GetParam", "csp2SetParam"})},
    {"bytes",
     [](const json& v, ScriptedResult& s, std::string& p) {
       if (!contains(calls_with_output, s.call)) {
         p = s.call + " fills no buffer";
         return false;
       }
       s.bytes.emplace();
       return read_hex(v, std::nullopt, *s.bytes, p);
     }},
};

bool read_flag(const json& value, bool& flag, std::string& problem) {
  if (!value.is_boolean()) return expected(problem, "true or false");
  flag = value.get<bool>();
  return true;
}

bool read_scripted_result(const json& value, ScriptedResult& scripted, std::string& problem) {
  if (!value.is_object() || !value.contains("call") || !value["call"].is_string() ||
      !contains(function_names, value["call"].get<std::string>())) {
    return expected(problem, "an object whose \"call\" names a library function");
  }
  scripted.call = value["call"].get<std::string>();
  return read_members(value, script_readers, scripted, problem) && required(value, "result", problem);
}

const Readers<Device> device_readers = {
    {"port", [](const json& v, Device& d, std::string& p) { return read_integer(v, d.port, p); }},
    {"id", [](const json& v, Device& d, std::string& p) { return read_hex_array(v, d.id, p); }},
    {"version", [](const json& v, Device& d, std::string& p) { return read_version(v, d.version, p); }},
    {"clock", [](const json& v, Device& d, std::string& p) { return read_clock(v, d.clock, p); }},
    {"running_clock", [](const json& v, Device& d, std::string& p) { return read_flag(v, d.running_clock, p); }},
    {"docked", [](const json& v, Device& d, std::string& p) { return read_flag(v, d.docked, p); }},
    {"barcodes",
     [](const json& v, Device& d, std::string& p) {
       return read_elements<Barcode>(v, d.barcodes, p, read_barcode);
     }},
    {"parameters",
     [](const json& v, Device& d, std::string& p) { return read_parameters(v, d.parameters, p); }},
    {"script",
     [](const json& v, Device& d, std::string& p) {
       return read_elements<ScriptedResult>(v, d.script, p, read_scripted_result);
     }},
};

}  // namespace

std::variant<LoadedDevice, std::string> parse_device_file(std::string_view text) {
  LoadedDevice loaded;
  try {
    loaded.document = json::parse(text);
  } catch (const json::exception& error) {  // a syntax error, or a number beyond a double
    return std::string("not JSON: ") + error.what();
  }
  loaded.device = demo_device();
  loaded.device.barcodes.clear();
  loaded.device.script.clear();
  std::string problem;
  if (!read_members(loaded.document, device_readers, loaded.device, problem)) return problem;
  return loaded;
}

json updated_document(const json& document, const Device& device) {
  json updated = document;
  updated["clock"] = device.clock;
  json parameters = json::object();
  for (std::size_t number = 0; number < device.parameters.size(); ++number) {
    if (device.parameters[number] != default_parameters()[number]) {
      parameters[std::to_string(number)] = device.parameters[number];
    }
  }
  updated["parameters"] = std::move(parameters);
  // Barcodes only ever change by being erased; the others stay as the file gave them.
  if (device.barcodes.empty()) updated["barcodes"] = json::array();
  return updated;
}

}  // namespace vkd::sim
