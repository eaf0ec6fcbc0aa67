#include "conversations/search_ports.h"

#include <utility>

#include "automation/number_reading.h"

namespace vkd {

namespace {

constexpr int attempts = 16;
constexpr std::int64_t wrap_at = 16;

}  // namespace

const PortAttempt* Connection::answered() const {
  return !attempts.empty() && attempts.back().sane() ? &attempts.back() : nullptr;
}

std::vector<PortAttempt> Connection::failed_answers() const {
  std::vector<PortAttempt> failed;
  for (const PortAttempt& attempt : attempts) {
    if (attempt.status && !attempt.sane()) failed.push_back(attempt);
  }
  return failed;
}

std::optional<OpenPort> search_ports(Library& library, Host& host, PortRange ports,
                                     Connection& connection, SearchObserver& observer) {
  // Counted wider than the library's argument: a first port at the top of the 32-bit
  // range steps past it, and the conversion for that attempt then overflows.
  std::int64_t port = ports.first;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    const std::int32_t number = to_int32(static_cast<double>(port));
    PortOpening opening = try_port(library, host, number);
    PortAttempt& tried = connection.attempts.emplace_back(opening.attempt);
    observer.port_tried(tried);
    if (opening.port) {
      tried.count = read_count(library);
      observer.count_read(tried);
      tried.status = library.csp2GetSystemStatus();
      observer.status_read(tried);
      if (tried.sane()) {
        observer.port_accepted(tried);
        return std::move(opening.port);
      }
      opening.port->release();
    }
    if (++port == wrap_at || port > ports.highest) port = 0;
  }
  observer.no_port_answered();
  return std::nullopt;
}

}  // namespace vkd
