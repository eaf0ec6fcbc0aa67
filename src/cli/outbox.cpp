#include "cli/outbox.h"

#include <algorithm>

#include "files/replace_file.h"

namespace vkd::cli {

std::string outbox_name(const store::Batch& batch, BatchFormat format) {
  // "2024-05-15T09:30:00" becomes "20240515T093000".
  std::string when = batch.downloaded_at;
  std::erase_if(when, [](char c) { return c == '-' || c == ':'; });
  return batch.scanner + "-" + when + "-" + std::to_string(batch.number) +
         (format == BatchFormat::csv ? ".csv" : ".jsonl");
}

std::variant<std::filesystem::path, std::string> write_outbox_file(const Outbox& outbox, const store::Batch& batch,
                                                                    const std::vector<store::Record>& records) {
  std::error_code error;
  std::filesystem::create_directories(outbox.folder, error);
  if (error) return "cannot make the folder " + outbox.folder.string() + ": " + error.message();
  const std::filesystem::path file = outbox.folder / outbox_name(batch, outbox.format);
  const files::WriteResult written = files::replace_file(file, [&](files::Sink& sink) {
    BatchWriter writer(outbox.format, sink);
    writer.batch(batch, records);
    writer.finish();
  });
  if (written.error) return "cannot write " + file.string() + ": " + written.error.message();
  return file;
}

}  // namespace vkd::cli
