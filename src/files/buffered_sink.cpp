#include "files/buffered_sink.h"

#include <utility>

namespace vkd::files {

namespace {

constexpr std::size_t piece_size = 64 * 1024;

}  // namespace

BufferedSink::BufferedSink(std::function<std::error_code(std::string_view)> write_out)
    : write_out_(std::move(write_out)) {
  buffer_.reserve(piece_size);
}

void BufferedSink::write(std::string_view bytes) {
  if (error_) return;
  if (buffer_.size() + bytes.size() <= piece_size) {
    buffer_.append(bytes);
    return;
  }
  if (!buffer_.empty()) {
    error_ = write_out_(buffer_);
    buffer_.clear();
    if (error_) return;
  }
  // A piece this large gains nothing from being copied first.
  if (bytes.size() >= piece_size) {
    error_ = write_out_(bytes);
  } else {
    buffer_.append(bytes);
  }
}

std::error_code BufferedSink::finish() {
  if (!error_ && !buffer_.empty()) error_ = write_out_(buffer_);
  buffer_.clear();
  return error_;
}

std::error_code write_content(const Content& content,
                              const std::function<std::error_code(std::string_view)>& write_out) {
  BufferedSink sink(write_out);
  content(sink);
  return sink.finish();
}

}  // namespace vkd::files
