#pragma once
// The user's command after each stored batch (--exec), once its outbox file is written
// when there is one: the batch's number, file and scanner in its environment as
// VKD_BATCH, VKD_BATCH_FILE (empty without an outbox) and VKD_SCANNER. Its failure is
// reported and changes nothing else.
#include <filesystem>
#include <optional>
#include <string>

#include "store/store.h"

namespace vkd::cli {

// Why the command failed, none when it ended with status 0.
std::optional<std::string> run_after_batch(const std::string& command, const store::Batch& batch,
                                           const std::optional<std::filesystem::path>& file);

}  // namespace vkd::cli
