#pragma once
// Where the content of a file goes while it is made: a download of nearly 2 GB is written
// piece by piece as it is formatted, never held whole.
#include <functional>
#include <string_view>

namespace vkd::files {

class Sink {
 public:
  // Takes the bytes. After a failure it drops whatever follows; the writer of the file
  // reports the failure once the content is done.
  virtual void write(std::string_view bytes) = 0;
  // Whether a write has failed, so that a long content may stop early.
  virtual bool failed() const = 0;

 protected:
  ~Sink() = default;
};

// The content of a file, written into the sink it is given.
using Content = std::function<void(Sink& sink)>;

}  // namespace vkd::files
