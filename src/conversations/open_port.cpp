#include "conversations/open_port.h"

#include <utility>

#include "automation/number_reading.h"

namespace vkd {

namespace {

template <typename Call>
void quietly(Call call) noexcept {
  try {
    call();
  } catch (...) {
  }
}

}  // namespace

OpenPort OpenPort::open(Library& library, std::int32_t port, std::int32_t& answer) {
  // Owned from before the call: an error inside csp2Init may leave the port taken.
  OpenPort opened(library);
  answer = library.csp2Init(port);
  return opened;
}

OpenPort::OpenPort(OpenPort&& other) noexcept
    : library_(std::exchange(other.library_, nullptr)), woken_(std::exchange(other.woken_, false)) {}

OpenPort& OpenPort::operator=(OpenPort&& other) noexcept {
  if (this != &other) {
    give_back();
    library_ = std::exchange(other.library_, nullptr);
    woken_ = std::exchange(other.woken_, false);
  }
  return *this;
}

OpenPort::~OpenPort() { give_back(); }

// Each step counts once the library has answered it: a failing call leaves the port and
// the scanner as they were taken to be, for the destructor to give back.
std::int32_t OpenPort::wake_up() {
  const std::int32_t result = library_->csp2WakeUp();
  woken_ = true;
  return result;
}

std::int32_t OpenPort::power_down() {
  const std::int32_t result = library_->csp2PowerDown();
  woken_ = false;
  return result;
}

std::int32_t OpenPort::release() {
  const std::int32_t result = library_->csp2Restore();
  library_ = nullptr;
  woken_ = false;
  return result;
}

void OpenPort::give_back() noexcept {
  if (library_ == nullptr) return;
  Library& library = *std::exchange(library_, nullptr);
  if (std::exchange(woken_, false)) quietly([&] { library.csp2PowerDown(); });
  quietly([&] { library.csp2Restore(); });
}

PortOpening try_port(Library& library, Host& host, std::int32_t port) {
  PortOpening opening;
  opening.attempt.port = port;
  opening.attempt.result = library.csp2Init(port);
  if (opening.attempt.opened()) opening.port.emplace(library);
  opening.attempt.seconds_of_day = host.local_seconds_of_day();
  return opening;
}

std::int16_t read_count(Library& library) { return to_int16(static_cast<double>(library.csp2ReadData())); }

void release_port(Library& library) { library.csp2Restore(); }

}  // namespace vkd
