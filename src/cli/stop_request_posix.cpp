#include <signal.h>

#include <csignal>


#include "cli/stop_request.h"

namespace vkd::cli {

namespace {

volatile std::sig_atomic_t requested = 0;

extern "C" void note_request(int) { requested = 1; }

}  // namespace

void listen_for_stop() {
  struct sigaction action {};
  action.sa_handler = note_request;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
  signal(SIGXFSZ, SIG_IGN);
}

bool stop_requested() { return requested != 0; }

}  // namespace vkd::cli
