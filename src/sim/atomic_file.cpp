#include "sim/atomic_file.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <system_error>

#ifdef _WIN32
#include <windows.h>
#endif

#include "sim/hex.h"

namespace vkd::sim {

namespace {

// A name no other writer picks, so that two processes saving at once never share one.
std::filesystem::path temporary_beside(const std::filesystem::path& path) {
  std::random_device random;
  const std::uint32_t value = random();
  const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16),
                                static_cast<std::uint8_t>(value >> 24)};
  std::filesystem::path temporary = path;
  temporary += ".";
  temporary += to_hex(bytes);
  temporary += ".tmp";
  return temporary;
}

bool rename_over(const std::filesystem::path& from, const std::filesystem::path& to) {
#ifdef _WIN32
  // MoveFileEx replaces an existing target in one step, as rename does on POSIX.
  return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code error;
  std::filesystem::rename(from, to, error);
  return !error;
#endif
}

}  // namespace

std::optional<std::string> read_file(const std::string& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) return std::nullopt;
  std::string text{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
  if (file.bad()) return std::nullopt;
  return text;
}

bool replace_file(const std::string& path, std::string_view text, std::string& problem) {
  const std::filesystem::path target(path);
  const std::filesystem::path temporary = temporary_beside(target);
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    file.write(text.data(), static_cast<std::streamsize>(text.size()));
    file.close();
    if (!file) {
      std::error_code ignored;
      std::filesystem::remove(temporary, ignored);
      problem = "cannot write " + temporary.string();
      return false;
    }
  }
  if (!rename_over(temporary, target)) {
    std::error_code ignored;
    std::filesystem::remove(temporary, ignored);
    problem = "cannot replace " + path;
    return false;
  }
  return true;
}

}  // namespace vkd::sim
