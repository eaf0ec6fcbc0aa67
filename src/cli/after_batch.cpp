#include "cli/after_batch.h"

#include "cli/path_text.h"
#include "cli/platform.h"

namespace vkd::cli {

std::optional<std::string> run_after_batch(const std::string& command, const store::Batch& batch,
                                           const std::optional<std::filesystem::path>& file) {
  set_environment("VKD_BATCH", std::to_string(batch.number));
  set_environment("VKD_BATCH_FILE", file ? utf8_of_path(*file) : "");
  set_environment("VKD_SCANNER", batch.scanner);
  const int status = run_shell_command(command);
  if (status == 0) return std::nullopt;
  if (status < 0) return "--exec could not be run, or was ended by a signal";
  return "--exec ended with status " + std::to_string(status);
}

}  // namespace vkd::cli
