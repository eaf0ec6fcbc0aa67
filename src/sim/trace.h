#pragma once
// The call trace: when CSP2A_TRACE names a file, every call is appended to it as one
// line, for tests and for anyone wondering what a program asked of the scanner:
//
//   csp2Init port=3 result=0
//   csp2GetPacket record=0 length=500 packet=121634303036333831333333393331ACF2A625 result=19
//   csp2ClearData result=2 scripted
//
// The function name, its arguments as key=value (numbers in decimal; buffers in hex,
// input buffers as given, output buffers as far as the call wrote them, left out when it
// wrote nothing), then the result, and "scripted" when the device file's script answered.
// Lines beginning with "# " are the library's own messages, such as a device file it
// cannot use.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace vkd::sim {

class TraceLine {
 public:
  explicit TraceLine(std::string_view function) : text_(function) {}
  TraceLine& number(std::string_view key, std::int32_t value);
  TraceLine& bytes(std::string_view key, std::span<const std::uint8_t> value);
  std::string finish(std::int32_t result, bool scripted) const;

 private:
  std::string text_;
};

class Trace {
 public:
  // From now on, lines go to this file, or nowhere when the path is null or empty. Each
  // line is appended on its own, so the file may be read, moved or deleted at any time.
  void follow(const char* path);
  void write(std::string_view line);
  void message(std::string_view text);

 private:
  std::string path_;
};

}  // namespace vkd::sim
