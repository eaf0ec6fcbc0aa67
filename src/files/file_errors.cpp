#include "files/file_errors.h"

#include <string>

namespace vkd::files {

namespace {

class FileErrors final : public std::error_category {
 public:
  const char* name() const noexcept override { return "files"; }
  std::string message(int) const override { return "not a regular file"; }
};

}  // namespace

std::error_code not_a_regular_file() {
  static const FileErrors category;
  return {1, category};
}

}  // namespace vkd::files
