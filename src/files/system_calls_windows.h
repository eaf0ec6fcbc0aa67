#pragma once
// The Windows calls this layer makes in more than one place, with their errors as values.
#include <windows.h>

#include <string_view>
#include <system_error>
#include <utility>

namespace vkd::files {

// What GetLastError says about the call that just failed.
std::error_code last_error();

// An open handle that is closed on every way out of the function holding it.
class Handle {
 public:
  explicit Handle(HANDLE handle = INVALID_HANDLE_VALUE) : handle_(handle) {}
  ~Handle() {
    if (is_open()) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;

  HANDLE get() const { return handle_; }
  bool is_open() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }
  std::error_code close() {
    return ::CloseHandle(release()) ? std::error_code() : last_error();
  }

 private:
  HANDLE handle_;
};

// Writes every byte (WriteFile takes 32-bit lengths).
std::error_code write_all(HANDLE file, std::string_view bytes);

// Waits for an exclusive lock of one byte far past the end of any real file: a lock of
// Windows keeps others from reading and writing the bytes it covers, and this one covers
// none that anyone reads.
std::error_code lock_exclusively(HANDLE file);

}  // namespace vkd::files
