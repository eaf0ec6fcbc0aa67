#include "sim/atomic_file.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "sim/durable_file.h"
#include "sim/hex.h"

namespace vkd::sim {

namespace {

namespace fs = std::filesystem;

// A name no other writer picks, so that two processes saving at once never share one.
fs::path temporary_beside(const fs::path& path) {
  std::random_device random;
  const std::uint32_t value = random();
  const std::uint8_t bytes[] = {static_cast<std::uint8_t>(value), static_cast<std::uint8_t>(value >> 8),
                                static_cast<std::uint8_t>(value >> 16),
                                static_cast<std::uint8_t>(value >> 24)};
  fs::path temporary = path;
  temporary += ".";
  temporary += to_hex(bytes);
  temporary += ".tmp";
  return temporary;
}

// The file that writing to `path` replaces: where its symbolic links lead, if it is one,
// so that the link stays a link and leads to the new content.
std::optional<fs::path> replaced_file(const fs::path& path, std::string& problem) {
  std::error_code error;
  if (!fs::is_symlink(path, error)) return path;
  fs::path target = fs::canonical(path, error);
  if (error) {
    problem = "cannot follow the link " + path.string() + ": " + error.message();
    return std::nullopt;
  }
  return target;
}

// The new file gets the permissions of the one it replaces, not the defaults of whoever
// writes it.
bool keep_permissions(const fs::path& file, const fs::path& replaced, std::string& problem) {
  std::error_code error;
  const fs::perms permissions = fs::status(replaced, error).permissions();
  if (error || permissions == fs::perms::unknown) return true;  // nothing to keep
  fs::permissions(file, permissions, fs::perm_options::replace, error);
  if (!error) return true;
  problem = "cannot set the permissions of " + file.string() + ": " + error.message();
  return false;
}

}  // namespace

std::optional<std::string> read_file(const std::string& path, std::size_t max_size,
                                     std::string& problem) {
  std::error_code error;
  const fs::file_status status = fs::status(fs::path(path), error);
  if (error) {
    problem = "cannot be read: " + error.message();
    return std::nullopt;
  }
  if (fs::is_directory(status)) {
    problem = "is a folder";
    return std::nullopt;
  }
  if (!fs::is_regular_file(status)) {
    problem = "is not a regular file";
    return std::nullopt;
  }
  std::ifstream file(fs::path(path), std::ios::binary);
  if (!file) {
    problem = "cannot be opened";
    return std::nullopt;
  }
  // Read piece by piece up to the bound, so that a file too large (or growing while it
  // is read) is refused without being taken in whole.
  std::string text;
  std::array<char, 64 * 1024> piece{};
  while (file.read(piece.data(), piece.size()) || file.gcount() > 0) {
    text.append(piece.data(), static_cast<std::size_t>(file.gcount()));
    if (text.size() > max_size) {
      problem = "is larger than " + std::to_string(max_size) + " bytes";
      return std::nullopt;
    }
  }
  if (file.bad()) {
    problem = "cannot be read: the read failed";
    return std::nullopt;
  }
  return text;
}

bool replace_file(const std::string& path, std::string_view text, std::string& problem) {
  const std::optional<fs::path> target = replaced_file(fs::path(path), problem);
  if (!target) return false;
  const fs::path temporary = temporary_beside(*target);
  if (!write_new_file(temporary, text, problem)) return false;
  if (keep_permissions(temporary, *target, problem) && rename_over(temporary, *target, problem)) {
    return true;
  }
  std::error_code ignored;
  fs::remove(temporary, ignored);
  return false;
}

}  // namespace vkd::sim
