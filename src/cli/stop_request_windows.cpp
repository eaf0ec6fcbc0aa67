#include <windows.h>

#include <atomic>

#include "cli/stop_request.h"

namespace vkd::cli {

namespace {

std::atomic<bool> requested{false};

BOOL WINAPI note_request(DWORD) {
  requested = true;
  return TRUE;
}

}  // namespace

void listen_for_stop() { SetConsoleCtrlHandler(note_request, TRUE); }

bool stop_requested() { return requested; }

}  // namespace vkd::cli
