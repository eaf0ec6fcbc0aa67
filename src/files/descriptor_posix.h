#pragma once
// An open file descriptor that is closed on every way out of the function holding it.
#include <unistd.h>

#include <cerrno>
#include <system_error>
#include <utility>

namespace vkd::files {

class Descriptor {
 public:
  explicit Descriptor(int fd = -1) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int get() const { return fd_; }
  bool is_open() const { return fd_ >= 0; }
  int release() { return std::exchange(fd_, -1); }
  // A close can report a write that failed late (on a network file system).
  std::error_code close() {
    const int fd = std::exchange(fd_, -1);
    return ::close(fd) == 0 ? std::error_code() : std::error_code(errno, std::generic_category());
  }

 private:
  int fd_;
};

}  // namespace vkd::files
