#pragma once
// A message-only window whose procedure a test chooses, to see which messages a
// settling pause dispatches.
#include <windows.h>

namespace vkd::testing {

inline HWND message_window(const wchar_t* class_name, WNDPROC procedure) {
  WNDCLASSW window_class{};
  window_class.lpfnWndProc = procedure;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.lpszClassName = class_name;
  RegisterClassW(&window_class);
  return CreateWindowExW(0, class_name, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, window_class.hInstance,
                         nullptr);
}

}  // namespace vkd::testing
