#include <array>
#include <cstdint>
#include <random>
#include <string>

#include "files/buffered_sink.h"
#include "files/hex.h"
#include "files/temporary_file.h"

namespace vkd::files {

namespace {

constexpr std::string_view prefix = ".vkd";
constexpr std::string_view suffix = ".tmp";
constexpr std::size_t random_bytes = 8;

}  // namespace

std::error_code TemporaryFile::write_and_flush(const Content& content) {
  if (auto error = write_content(content, [this](std::string_view bytes) { return write(bytes); }))
    return error;
  return flush();
}

bool is_temporary_name(const std::filesystem::path& name) {
  const std::string text = name.string();
  if (text.size() != prefix.size() + 2 * random_bytes + suffix.size() ||
      !text.starts_with(prefix) || !text.ends_with(suffix)) {
    return false;
  }
  const auto digits = std::string_view(text).substr(prefix.size(), 2 * random_bytes);
  return from_hex(digits).has_value() && digits.find(' ') == std::string_view::npos;
}

// Two processes that start at the same moment draw different names: the generator is
// seeded from the system's randomness, once per process.
std::filesystem::path new_temporary_name() {
  thread_local std::mt19937_64 numbers{std::random_device{}()};
  const std::uint64_t number = numbers();
  std::array<std::uint8_t, random_bytes> bytes{};
  for (std::size_t i = 0; i < random_bytes; ++i) bytes[i] = static_cast<std::uint8_t>(number >> (8 * i));
  return std::string(prefix) + to_hex(bytes) + std::string(suffix);
}

}  // namespace vkd::files
