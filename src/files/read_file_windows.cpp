#include <array>
#include <fstream>

#include "files/read_file.h"

namespace vkd::files {

std::variant<std::string, ReadFailure> read_file(const std::filesystem::path& file,
                                                 std::size_t most_bytes) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found)
    return ReadFailure{ReadProblem::missing, error};
  if (error) return ReadFailure{ReadProblem::unreadable, error};
  if (std::filesystem::is_directory(status)) return ReadFailure{ReadProblem::folder, {}};
  if (!std::filesystem::is_regular_file(status)) return ReadFailure{ReadProblem::not_regular, {}};
  std::ifstream input(file, std::ios::binary);
  if (!input) return ReadFailure{ReadProblem::unreadable, std::make_error_code(std::errc::io_error)};
  // Piece by piece up to the bound, so that a file too large (or growing while it is
  // read) is refused without being taken in whole.
  std::string content;
  std::array<char, 64 * 1024> piece{};
  while (input.read(piece.data(), piece.size()) || input.gcount() > 0) {
    content.append(piece.data(), static_cast<std::size_t>(input.gcount()));
    if (content.size() > most_bytes) return ReadFailure{ReadProblem::too_large, {}};
  }
  if (input.bad()) return ReadFailure{ReadProblem::unreadable, std::make_error_code(std::errc::io_error)};
  return content;
}

}  // namespace vkd::files
