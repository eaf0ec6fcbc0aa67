#include "component/com/windows_host.h"

#include <windows.h>

namespace vkd::com {

namespace {

constexpr DWORD brief_wait_ms = 10;

// A WM_QUIT waits in the queue for the host's own loop.
bool quit_waiting() {
  MSG message;
  return PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != FALSE;
}

}  // namespace

std::int32_t WindowsHost::local_seconds_of_day() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return now.wHour * 3600 + now.wMinute * 60 + now.wSecond;
}

// The performance counter rather than the tick count, which moves in steps of 10-16 ms.
std::chrono::nanoseconds WindowsHost::monotonic_time() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  const std::int64_t seconds = now.QuadPart / frequency.QuadPart;
  const std::int64_t rest = now.QuadPart % frequency.QuadPart;
  return std::chrono::seconds(seconds) + std::chrono::nanoseconds(rest * 1'000'000'000 / frequency.QuadPart);
}

void WindowsHost::run_pending_events() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(message.wParam));
      return;
    }
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

void WindowsHost::wait_briefly() {
  // A WM_QUIT that waits in the queue would end every message wait at once and turn the
  // pause into a busy loop; messages that arrive meanwhile run at the next turn.
  if (quit_waiting()) {
    Sleep(brief_wait_ms);
    return;
  }
  MsgWaitForMultipleObjectsEx(0, nullptr, brief_wait_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
}

}  // namespace vkd::com
