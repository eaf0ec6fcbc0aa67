#include "cli/output_destination.h"

#include <algorithm>
#include <cerrno>
#include <fstream>
#include <system_error>

#include "cli/csv_output.h"
#include "cli/path_text.h"
#include "files/append_file.h"
#include "files/replace_file.h"

namespace vkd::cli {

namespace {

// The standard streams write through the C library, which leaves the reason of a failed
// write or flush in errno.
class StreamSink final : public files::Sink {
 public:
  explicit StreamSink(std::ostream& out) : out_(out) {}

  void write(std::string_view bytes) override {
    if (failure_) return;
    errno = 0;
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out_) note_failure();
  }
  bool failed() const override { return failure_.has_value(); }

  std::optional<std::string> finish() {
    if (failure_) return failure_;
    errno = 0;
    out_.flush();
    if (!out_) note_failure();
    return failure_;
  }

 private:
  void note_failure() {
    const int reason = errno;
    failure_ = reason != 0 ? std::generic_category().message(reason) : std::string("the stream failed");
  }

  std::ostream& out_;
  std::optional<std::string> failure_;
};

// What ends the last line the file left open: the line end, or its second half where the
// file ends in the first.
std::string_view ending_for(char last_byte, std::string_view line_end) {
  if (line_end.size() > 1 && last_byte == line_end.front()) return line_end.substr(1);
  return line_end;
}

// The first line of a file being continued, which this process holds the lock of: as much
// of it as a header line can be.
std::string first_line_of(const std::filesystem::path& file) {
  constexpr std::size_t longest_header = 4096;
  std::ifstream in(file, std::ios::binary);
  std::string line(longest_header, '\0');
  in.getline(line.data(), static_cast<std::streamsize>(line.size()));
  line.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount() - 1, 0)));
  return line;
}

}  // namespace

Destination destination_of(const Invocation& invocation) {
  if (!invocation.output) return {};
  return {path_of_utf8(*invocation.output), invocation.append,
          invocation.format == Format::csv ? csv_line_end : std::string_view("\n")};
}

std::optional<std::string> write_to_stream(std::ostream& out, std::string_view text) {
  StreamSink sink(out);
  sink.write(text);
  return sink.finish();
}

std::optional<std::string> deliver(std::ostream& out, std::ostream& warnings,
                                   const Destination& destination, const Data& data) {
  if (!destination.file) {
    StreamSink sink(out);
    data(sink, Continued{});
    if (const auto failure = sink.finish()) return "clicker: cannot write output: " + *failure + "\n";
    return std::nullopt;
  }
  const std::string name = utf8_of_path(*destination.file);
  bool ended_open_line = false;
  files::WriteResult written;
  if (destination.append) {
    written = files::append_to_file(
        *destination.file, [&](files::Sink& sink, const files::FileEnd& end) {
          if (end.last_byte && *end.last_byte != '\n') {
            sink.write(ending_for(*end.last_byte, destination.line_end));
            ended_open_line = true;
          }
          data(sink, end.size > 0 ? Continued{true, first_line_of(*destination.file)} : Continued{});
        });
  } else {
    written = files::replace_file(
        *destination.file, [&data](files::Sink& sink) { data(sink, Continued{}); },
        files::SpecialTarget::write_into);
  }
  if (written.error)
    return "clicker: cannot write output to " + name + ": " + written.error.message() + "\n";
  if (ended_open_line) {
    warnings << "clicker: warning: " << name
             << " did not end with a line break: one was added before the new records\n";
  }
  if (written.folder_not_flushed) {
    warnings << "clicker: warning: " << name
             << " is written, but its folder could not be flushed to the disk: "
             << written.folder_not_flushed.message() << "\n";
  }
  return std::nullopt;
}

}  // namespace vkd::cli
