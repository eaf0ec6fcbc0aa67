#include "cli/output_destination.h"

#include <cerrno>
#include <system_error>

#include "cli/atomic_file.h"

namespace vkd::cli {

std::filesystem::path path_of_utf8(const std::string& name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// The standard streams write through the C library, which leaves the reason of a failed
// write or flush in errno.
std::optional<std::string> write_to_stream(std::ostream& out, std::string_view text) {
  errno = 0;
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.flush();
  if (out) return std::nullopt;
  const int reason = errno;
  return reason != 0 ? std::generic_category().message(reason) : std::string("the stream failed");
}

std::optional<std::string> deliver(std::ostream& out, const Destination& destination,
                                   const std::function<std::string(bool continuing)>& data) {
  if (!destination.file) return write_to_stream(out, data(false));
  const std::error_code error = destination.append
                                    ? append_to_file(*destination.file, data)
                                    : write_file_atomically(*destination.file, data(false));
  if (error) return error.message();
  return std::nullopt;
}

}  // namespace vkd::cli
