#include "cli/state_file.h"

#include <fstream>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "cli/platform.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {

namespace {

constexpr const char* port_key = "port";

void warn(std::ostream& warnings, const std::filesystem::path& file, const std::string& problem) {
  const auto name = file.u8string();
  warnings << "clicker: warning: " << std::string(name.begin(), name.end()) << ": " << problem
           << "\n";
}

std::filesystem::path temporary_sibling(const std::filesystem::path& file) {
  std::random_device random;
  return file.parent_path() / (file.filename().string() + "." + std::to_string(random()) + ".tmp");
}

}  // namespace

std::optional<std::filesystem::path> default_state_file() {
  const auto folder = user_configuration_folder();
  if (!folder) return std::nullopt;
  return *folder / "vkdclicker" / "state.json";
}

std::optional<std::int16_t> read_remembered_port(const std::filesystem::path& file,
                                                 std::ostream& warnings) {
  std::error_code error;
  if (!std::filesystem::exists(file, error)) {
    warn(warnings, file, "not found, so no port is remembered yet");
    return std::nullopt;
  }
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    warn(warnings, file, "cannot be read, so no port is remembered");
    return std::nullopt;
  }
  std::ostringstream content;
  content << in.rdbuf();
  const auto state = nlohmann::json::parse(content.str(), nullptr, /*allow_exceptions=*/false);
  if (state.is_object() && state.contains(port_key) && state[port_key].is_number_integer()) {
    const auto port = state[port_key].get<std::int64_t>();
    if (port >= 0 && port <= std::numeric_limits<std::int16_t>::max())
      return static_cast<std::int16_t>(port);
  }
  warn(warnings, file, "ignored: it holds no valid port number");
  return std::nullopt;
}

void remember_port(const std::filesystem::path& file, std::int16_t port, std::ostream& warnings) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) {
    warn(warnings, file.parent_path(), "cannot create the folder: " + error.message());
    return;
  }
  const auto temporary = temporary_sibling(file);
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out << nlohmann::json{{port_key, port}}.dump() << "\n";
    out.close();
    if (!out) {
      std::filesystem::remove(temporary, error);
      warn(warnings, file, "cannot write the remembered port");
      return;
    }
  }
  replace_file(temporary, file, error);
  if (error) {
    warn(warnings, file, "cannot replace the file: " + error.message());
    std::filesystem::remove(temporary, error);
  }
}

}  // namespace vkd::cli
