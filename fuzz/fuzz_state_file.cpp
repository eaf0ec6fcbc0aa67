// The remembered-port state file, with the input as its content, read through the same
// functions the command uses. A file gives either no port, with a warning that says so,
// or a port from 0 to 32767 in silence, which the command then remembers and reads back.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "cli/state_file.h"
#include "fuzz_check.h"

namespace {

namespace fs = std::filesystem;

// A folder of this process's own, so that runs side by side keep apart; removed at exit.
class WorkFolder {
 public:
  WorkFolder()
      : path_(fs::temp_directory_path() / ("fuzz_state_file." + std::to_string(::getpid()))) {
    fs::create_directories(path_);
  }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

void write(const fs::path& file, const std::uint8_t* data, std::size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  VKD_FUZZ_CHECK(out.good());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const WorkFolder folder;
  const fs::path given = folder.path() / "given.json";
  const fs::path state_folder = folder.path() / "vkdclicker";
  const fs::path current = state_folder / "state.json";
  write(given, data, size);

  std::ostringstream warnings;
  const auto port = vkd::cli::read_remembered_port(given, warnings);
  if (port) {
    VKD_FUZZ_CHECK(*port >= 0);
    VKD_FUZZ_CHECK(warnings.str().empty());
  } else {
    VKD_FUZZ_CHECK(!warnings.str().empty());
  }

  // A port read is written back as the command remembers it, and reads back the same.
  if (port) {
    fs::remove_all(state_folder);
    std::ostringstream remembering_warnings;
    vkd::cli::remember_port(current, *port, remembering_warnings);
    VKD_FUZZ_CHECK(remembering_warnings.str().empty());
    std::ostringstream rereading_warnings;
    VKD_FUZZ_CHECK(vkd::cli::read_remembered_port(current, rereading_warnings) == port);
    VKD_FUZZ_CHECK(rereading_warnings.str().empty());
  }
  return 0;
}
