#include <fstream>
#include <iterator>

#include "cli/small_file.h"

namespace vkd::cli {

std::variant<std::string, FileProblem> read_small_file(const std::filesystem::path& file,
                                                       std::size_t limit) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found) return FileProblem::missing;
  if (error) return FileProblem::unreadable;
  if (!std::filesystem::is_regular_file(status) || std::filesystem::file_size(file, error) >= limit)
    return FileProblem::not_a_small_regular_file;
  std::ifstream in(file, std::ios::binary);
  if (!in) return FileProblem::unreadable;
  std::string content(limit, '\0');
  in.read(content.data(), static_cast<std::streamsize>(limit));
  if (in.bad()) return FileProblem::unreadable;
  if (static_cast<std::size_t>(in.gcount()) == limit) return FileProblem::not_a_small_regular_file;
  content.resize(static_cast<std::size_t>(in.gcount()));
  return content;
}

}  // namespace vkd::cli
