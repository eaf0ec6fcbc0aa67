#pragma once
// The station's outbox: one file per stored batch, for an import job or a shared folder,
// written whole once the batch is committed (replaced atomically, so that a reader never
// sees half a file) and named <identifier>-<yyyymmddThhmmss>-<batch>.<ext>.
#include <filesystem>
#include <string>
#include <variant>
#include <vector>

#include "cli/batch_output.h"
#include "store/store.h"

namespace vkd::cli {

struct Outbox {
  std::filesystem::path folder;
  BatchFormat format = BatchFormat::csv;
};

std::string outbox_name(const store::Batch& batch, BatchFormat format);

// The file written, or why it could not be.
std::variant<std::filesystem::path, std::string> write_outbox_file(const Outbox& outbox, const store::Batch& batch,
                                                                    const std::vector<store::Record>& records);

}  // namespace vkd::cli
