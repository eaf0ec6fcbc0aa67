#pragma once
// A sink that gathers small writes into pieces of 64 KiB for the system, and keeps the
// first error.
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "files/sink.h"

namespace vkd::files {

class BufferedSink final : public Sink {
 public:
  // `write_out` writes all the bytes it is given, or says why it could not.
  explicit BufferedSink(std::function<std::error_code(std::string_view)> write_out);

  void write(std::string_view bytes) override;
  bool failed() const override { return static_cast<bool>(error_); }

  // Writes out what is gathered; the first error of all the writes, none when all went out.
  std::error_code finish();

 private:
  std::function<std::error_code(std::string_view)> write_out_;
  std::string buffer_;
  std::error_code error_;
};

// Runs `content` into a BufferedSink over `write_out` and finishes it.
std::error_code write_content(const Content& content,
                              const std::function<std::error_code(std::string_view)>& write_out);

}  // namespace vkd::files
