// The scanner library, loaded by full path, takes its own dependencies from its folder or
// the system's safe search, never from the current directory or PATH. A probe library
// that imports a second one stands in for it; both are copied into fresh folders so that
// only the places under test hold the dependency.
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "check.h"
#include "csp2a/dynamic_library.h"
#include "csp2a/module_path.h"

using vkd::testing::check;
namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* probe = L"loading_probe.dll";
constexpr const wchar_t* dependency = L"loading_probe_dependency.dll";

fs::path program_folder() { return fs::path(vkd::module_file_path(nullptr)).parent_path(); }

fs::path fresh_folder(const fs::path& work, const wchar_t* name) {
  const fs::path folder = work / name;
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  fs::create_directories(folder);
  return folder;
}

// Whether the probe loads from `folder` and its call reaches the dependency.
bool probe_works(const fs::path& folder) {
  const vkd::dynamic_library::Module module = vkd::dynamic_library::open(folder / probe);
  if (module == nullptr) return false;
  using Call = int (*)();
  const auto call = reinterpret_cast<Call>(vkd::dynamic_library::entry_point(module, "probe_call"));
  const bool works = call != nullptr && call() == 42;
  vkd::dynamic_library::close(module);
  return works;
}

}  // namespace

int main() {
  const fs::path built = program_folder() / L"loading";
  wchar_t temporary[MAX_PATH];
  GetTempPathW(MAX_PATH, temporary);
  const fs::path work = fs::path(temporary) / L"vkd_library_loading";
  const fs::path alone = fresh_folder(work, L"alone");
  const fs::path current = fresh_folder(work, L"current");
  const fs::path on_path = fresh_folder(work, L"on_path");
  const fs::path together = fresh_folder(work, L"together");
  fs::copy_file(built / probe, alone / probe, fs::copy_options::overwrite_existing);
  fs::copy_file(built / dependency, current / dependency, fs::copy_options::overwrite_existing);
  fs::copy_file(built / dependency, on_path / dependency, fs::copy_options::overwrite_existing);
  fs::copy_file(built / probe, together / probe, fs::copy_options::overwrite_existing);
  fs::copy_file(built / dependency, together / dependency, fs::copy_options::overwrite_existing);

  SetCurrentDirectoryW(current.c_str());
  check(!probe_works(alone), "a dependency in the current directory is not taken");
  // The search that loading by path used before does take it: the setup can tell the two apart.
  const HMODULE altered = LoadLibraryExW((alone / probe).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  check(altered != nullptr, "the altered search finds the dependency in the current directory");
  if (altered) FreeLibrary(altered);
  SetCurrentDirectoryW(work.c_str());

  std::wstring path(32768, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), static_cast<DWORD>(path.size())));
  SetEnvironmentVariableW(L"PATH", (on_path.wstring() + L";" + path).c_str());
  check(!probe_works(alone), "a dependency on PATH is not taken");
  SetEnvironmentVariableW(L"PATH", path.c_str());

  check(probe_works(together), "a dependency next to the library is found");

  std::error_code ignored;  // a library the loader still maps cannot be removed yet
  fs::remove_all(work, ignored);
  return vkd::testing::finish_checks();
}
