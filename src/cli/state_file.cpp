#include "cli/state_file.h"

#include <limits>
#include <string>

#include "cli/path_text.h"
#include "cli/platform.h"
#include "files/read_file.h"
#include "files/replace_file.h"
#include "nlohmann/json.hpp"

namespace vkd::cli {

namespace {

constexpr const char* port_key = "port";
// A state file holds a dozen bytes; anything of 64 KiB or more is not one.
constexpr std::size_t largest_state_file = 64 * 1024 - 1;

void warn(std::ostream& warnings, const std::filesystem::path& file, const std::string& problem) {
  warnings << "clicker: warning: " << utf8_of_path(file) << ": " << problem << "\n";
}

std::optional<std::filesystem::path> in_folder(const std::optional<std::filesystem::path>& folder) {
  if (!folder) return std::nullopt;
  return *folder / "vkdclicker" / "state.json";
}

std::optional<std::int16_t> port_in(const std::string& content) {
  const auto state = nlohmann::json::parse(content, nullptr, /*allow_exceptions=*/false);
  if (!state.is_object() || !state.contains(port_key) || !state[port_key].is_number_integer())
    return std::nullopt;
  const auto port = state[port_key].get<std::int64_t>();
  if (port < 0 || port > std::numeric_limits<std::int16_t>::max()) return std::nullopt;
  return static_cast<std::int16_t>(port);
}

}  // namespace

std::optional<std::filesystem::path> default_state_file() { return in_folder(user_state_folder()); }

std::optional<std::int16_t> read_remembered_port(const std::filesystem::path& file,
                                                 std::ostream& warnings) {
  const auto content = files::read_file(file, largest_state_file);
  if (const auto* failure = std::get_if<files::ReadFailure>(&content)) {
    switch (failure->problem) {
      case files::ReadProblem::missing:
        break;
      case files::ReadProblem::unreadable:
        warn(warnings, file, "cannot be read, so no port is remembered");
        break;
      default:
        warn(warnings, file, "ignored: it is not a regular file under 64 KiB");
    }
    return std::nullopt;
  }
  const auto port = port_in(std::get<std::string>(content));
  if (!port) warn(warnings, file, "ignored: it holds no valid port number");
  return port;
}

void remember_port(const std::filesystem::path& file, std::int16_t port, std::ostream& warnings) {
  std::error_code error;
  std::filesystem::create_directories(file.parent_path(), error);
  if (error) {
    warn(warnings, file.parent_path(), "cannot create the folder: " + error.message());
    return;
  }
  // A FIFO or a device in its place would be written into, or waited on for ever. A
  // folder that cannot be flushed at worst forgets the port at a crash: not worth a word.
  const files::WriteResult written = files::replace_file(
      file, nlohmann::json{{port_key, port}}.dump() + "\n", files::SpecialTarget::refuse);
  if (written.error) warn(warnings, file, "cannot remember the port: " + written.error.message());
}

}  // namespace vkd::cli
