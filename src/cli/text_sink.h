#pragma once
// Where a command's data goes while it is formatted: a download of nearly 2 GB is written
// piece by piece, never held whole.
#include <string_view>

namespace vkd::cli {

class TextSink {
 public:
  virtual void write(std::string_view bytes) = 0;

 protected:
  ~TextSink() = default;
};

}  // namespace vkd::cli
