#include <windows.h>
// shellapi.h needs the declarations of windows.h before it.
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <stdio.h>

#include <cstdlib>
#include <memory>

#include "automation/text.h"
#include "cli/platform.h"

namespace vkd::cli {

namespace {

std::string wide_to_utf8(const wchar_t* wide) {
  return to_utf8(std::u16string_view(reinterpret_cast<const char16_t*>(wide), std::wcslen(wide)));
}

// The console's code page outlives the program: the one it had is put back at exit.
UINT console_code_page_before = 0;

void restore_console_code_page() { SetConsoleOutputCP(console_code_page_before); }

std::optional<std::filesystem::path> folder_named_by(const wchar_t* variable) {
  const wchar_t* folder = _wgetenv(variable);
  if (folder == nullptr || *folder == L'\0') return std::nullopt;
  return std::filesystem::path(folder);
}

}  // namespace

// The narrow argv holds the arguments in the ANSI code page, which cannot carry every
// character: the wide command line can.
std::vector<std::string> utf8_arguments(int, char**) {
  int count = 0;
  const std::unique_ptr<LPWSTR, decltype(&LocalFree)> wide(
      CommandLineToArgvW(GetCommandLineW(), &count), &LocalFree);
  std::vector<std::string> arguments;
  if (!wide) return arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(wide_to_utf8(wide.get()[i]));
  return arguments;
}

void prepare_standard_streams() {
  _setmode(_fileno(stdout), _O_BINARY);
  console_code_page_before = GetConsoleOutputCP();
  if (console_code_page_before != 0 && console_code_page_before != CP_UTF8 &&
      SetConsoleOutputCP(CP_UTF8)) {
    std::atexit(restore_console_code_page);
  }
}

bool standard_error_is_terminal() { return _isatty(_fileno(stderr)) != 0; }

std::optional<std::filesystem::path> user_state_folder() { return folder_named_by(L"LOCALAPPDATA"); }

std::optional<std::filesystem::path> user_data_folder() { return folder_named_by(L"LOCALAPPDATA"); }

std::string computer_name() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &length) || length == 0) return "station";
  return wide_to_utf8(name);
}

namespace {

std::wstring wide_of(const std::string& utf8) {
  const Text text = from_utf8(utf8);
  return std::wstring(text.begin(), text.end());
}

}  // namespace

void set_environment(const std::string& name, const std::string& value) {
  _wputenv_s(wide_of(name).c_str(), wide_of(value).c_str());
}

int run_shell_command(const std::string& command) { return _wsystem(wide_of(command).c_str()); }

std::string library_search_text() {
  return "csp2a.DLL was looked for in the program's folder and the system's folders "
         "(never in the current folder or on PATH)";
}

}  // namespace vkd::cli
