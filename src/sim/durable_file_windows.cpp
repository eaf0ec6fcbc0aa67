#include "sim/durable_file.h"

#include <windows.h>

#include <algorithm>

#include "sim/system_error.h"

namespace vkd::sim {

namespace {

bool failed(std::string& problem, const std::string& what) {
  problem = what + ": " + last_system_error();
  return false;
}

bool write_all(HANDLE file, std::string_view text) {
  while (!text.empty()) {
    const auto chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) return false;
    text.remove_prefix(written);
  }
  return true;
}

}  // namespace

bool write_new_file(const std::filesystem::path& file, std::string_view text, std::string& problem) {
  const HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return failed(problem, "cannot create " + file.string());
  bool done = write_all(handle, text);
  if (!done) {
    failed(problem, "cannot write " + file.string());
  } else if (!::FlushFileBuffers(handle)) {
    done = failed(problem, "cannot flush " + file.string());
  }
  ::CloseHandle(handle);
  if (!done) ::DeleteFileW(file.c_str());
  return done;
}

// MOVEFILE_WRITE_THROUGH returns only once the rename is on the disk: Windows has no
// separate flush of a folder.
bool rename_over(const std::filesystem::path& from, const std::filesystem::path& to,
                 std::string& problem) {
  if (!::MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return failed(problem, "cannot replace " + to.string());
  }
  return true;
}

}  // namespace vkd::sim
