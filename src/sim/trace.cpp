#include "sim/trace.h"

#include <filesystem>
#include <fstream>

#include "files/hex.h"

namespace vkd::sim {

TraceLine& TraceLine::number(std::string_view key, std::int32_t value) {
  text_.append(" ").append(key).append("=").append(std::to_string(value));
  return *this;
}

TraceLine& TraceLine::bytes(std::string_view key, std::span<const std::uint8_t> value) {
  if (!value.empty()) text_.append(" ").append(key).append("=").append(files::to_hex(value));
  return *this;
}

std::string TraceLine::finish(std::int32_t result, bool scripted) const {
  return text_ + " result=" + std::to_string(result) + (scripted ? " scripted" : "");
}

void Trace::follow(const char* path) { path_ = path == nullptr ? "" : path; }

void Trace::write(std::string_view line) {
  if (path_.empty()) return;
  std::ofstream file(std::filesystem::path(path_), std::ios::binary | std::ios::app);
  file << line << '\n';
}

void Trace::message(std::string_view text) { write("# " + std::string(text)); }

}  // namespace vkd::sim
