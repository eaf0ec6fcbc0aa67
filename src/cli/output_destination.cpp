#include "cli/output_destination.h"

#include <cerrno>
#include <fstream>
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

namespace {

// Gathers the data whole, for the file functions below that take it so.
class StringSink final : public TextSink {
 public:
  void write(std::string_view bytes) override { text.append(bytes); }
  std::string text;
};

// The first line of a file being continued, up to its line break.
std::string first_line_of(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  std::getline(in, line);
  return line;
}

}  // namespace

// Writes each piece as it comes; a stream that failed takes nothing more.
class StreamSink final : public TextSink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}
  void write(std::string_view bytes) override {
    if (failure_) return;
    failure_ = write_to_stream(out_, bytes);
  }
  const std::optional<std::string>& failure() const { return failure_; }

 private:
  std::ostream& out_;
  std::optional<std::string> failure_;
};

std::optional<std::string> deliver(std::ostream& out, const Destination& destination, const Data& data) {
  if (!destination.file) {
    StreamSink sink(out);
    data(sink, Continued{});
    if (sink.failure()) return sink.failure();
    return write_to_stream(out, "");
  }
  StringSink sink;
  const std::error_code error =
      destination.append ? append_to_file(*destination.file,
                                          [&](bool has_content) {
                                            data(sink, Continued{has_content, has_content ? first_line_of(*destination.file) : ""});
                                            return sink.text;
                                          })
                         : (data(sink, Continued{}), write_file_atomically(*destination.file, sink.text));
  if (error) return error.message();
  return std::nullopt;
}

}  // namespace vkd::cli
