// A registration that fails half-way takes back what it wrote and nothing else: an
// existing registration of the class stays as it was. The failures are provoked with
// volatile keys, under which the registry refuses the lasting keys a registration writes
// (ERROR_CHILD_MUST_BE_VOLATILE). Runs next to VKDClickrc.dll, which the Wine prefix has
// registered for the machine, and leaves it registered so.
#include <windows.h>

#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "VKDClicker.h"          // generated from VKDClicker.idl
#include "check.h"
#include "component_identity.h"  // generated from cmake/identity.cmake

using vkd::testing::check;

namespace {

std::wstring guid_text(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

const std::wstring class_key = L"CLSID\\" + guid_text(CLSID_Clicker);
const std::wstring prog_id = vkd::com::prog_id;
const std::wstring library_key = L"TypeLib\\" + guid_text(LIBID_VKDClicker);
const std::wstring interface_key = L"Interface\\" + guid_text(IID__Clicker);
const std::wstring user_classes = L"Software\\Classes\\";
constexpr HRESULT child_must_be_volatile = HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE);

using Snapshot = std::set<std::wstring>;

// Every key and value under root\path, one line each.
void collect(HKEY root, const std::wstring& path, Snapshot& lines) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  lines.insert(path);
  std::vector<std::wstring> children;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD name_size = 256;
    wchar_t data[512] = {};
    DWORD data_size = sizeof(data) - sizeof(wchar_t);
    DWORD type = 0;
    if (RegEnumValueW(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(data), &data_size) !=
        ERROR_SUCCESS) {
      break;
    }
    lines.insert(path + L"|" + name + L"|" + std::to_wstring(type) + L"|" + data);
  }
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD name_size = 256;
    if (RegEnumKeyExW(key, i, name, &name_size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    children.emplace_back(name);
  }
  RegCloseKey(key);
  for (const std::wstring& child : children) collect(root, path + L"\\" + child, lines);
}

// The component's keys as the machine's classes (HKCR) or the user's show them.
Snapshot machine_keys() {
  Snapshot lines;
  for (const std::wstring& path : {class_key, prog_id, library_key, interface_key}) {
    collect(HKEY_CLASSES_ROOT, path, lines);
  }
  return lines;
}

Snapshot user_keys() {
  Snapshot lines;
  for (const std::wstring& path : {class_key, prog_id}) collect(HKEY_CURRENT_USER, user_classes + path, lines);
  return lines;
}

bool same(const Snapshot& actual, const Snapshot& expected, const char* what) {
  if (actual == expected) return check(true, what);
  for (const std::wstring& line : actual) {
    if (!expected.count(line)) std::printf("  unexpected: %ls\n", line.c_str());
  }
  for (const std::wstring& line : expected) {
    if (!actual.count(line)) std::printf("  missing: %ls\n", line.c_str());
  }
  return check(false, what);
}

// A key whose children the registry refuses unless they are volatile too.
void create_volatile(HKEY root, const std::wstring& path, const wchar_t* default_value) {
  HKEY key = nullptr;
  RegCreateKeyExW(root, path.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  if (key && default_value) {
    RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(default_value),
                   static_cast<DWORD>((wcslen(default_value) + 1) * sizeof(wchar_t)));
  }
  if (key) RegCloseKey(key);
}

void set_default(HKEY root, const std::wstring& path, const std::wstring& value) {
  RegSetKeyValueW(root, path.c_str(), nullptr, REG_SZ, value.c_str(),
                  static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

struct Server {
  HRESULT(STDAPICALLTYPE* register_server)();
  HRESULT(STDAPICALLTYPE* unregister_server)();
  HRESULT(STDAPICALLTYPE* install)(BOOL, LPCWSTR);
};

template <class Function>
Function entry(HMODULE dll, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(dll, name)));
}

void existing_registration_kept(const Server& server, const Snapshot& registered) {
  // Another copy of the server registered the class before, and the ProgID key refuses
  // the lasting CLSID key the registration writes after the class's own keys.
  set_default(HKEY_CLASSES_ROOT, class_key + L"\\InprocServer32", L"C:\\elsewhere\\VKDClickrc.dll");
  RegDeleteTreeW(HKEY_CLASSES_ROOT, prog_id.c_str());
  create_volatile(HKEY_CLASSES_ROOT, prog_id, L"a ProgID of another kind");
  const Snapshot before = machine_keys();
  check(server.register_server() == child_must_be_volatile, "the registration fails at the ProgID");
  same(machine_keys(), before, "the class keeps the server path and entries it had; the ProgID its value");

  RegDeleteTreeW(HKEY_CLASSES_ROOT, prog_id.c_str());
  check(server.register_server() == S_OK, "registering again once nothing is in the way");
  same(machine_keys(), registered, "the same registration as before");
}

void nothing_left_behind(const Server& server, const Snapshot& registered) {
  check(server.unregister_server() == S_OK, "unregistered");
  check(machine_keys().empty(), "none of the component's keys left");
  // The type library is written last, after every class entry.
  create_volatile(HKEY_CLASSES_ROOT, library_key, nullptr);
  check(FAILED(server.register_server()), "the registration fails at the type library");
  same(machine_keys(), Snapshot{library_key}, "no class entry, ProgID or interface is left");

  RegDeleteTreeW(HKEY_CLASSES_ROOT, library_key.c_str());
  check(server.register_server() == S_OK, "registering again once nothing is in the way");
  same(machine_keys(), registered, "the same registration as before");
}

void per_user_failure(const Server& server, const Snapshot& registered) {
  create_volatile(HKEY_CURRENT_USER, user_classes + prog_id, nullptr);
  check(server.install(TRUE, L"user") == child_must_be_volatile, "the per-user registration fails at the ProgID");
  same(user_keys(), Snapshot{user_classes + prog_id}, "nothing of it is left for the user");
  same(machine_keys(), registered, "the machine's registration is untouched");
  RegDeleteTreeW(HKEY_CURRENT_USER, (user_classes + prog_id).c_str());
}

}  // namespace

int main() {
  const HMODULE dll = LoadLibraryW(L"VKDClickrc.dll");
  const Server server{entry<decltype(Server::register_server)>(dll, "DllRegisterServer"),
                      entry<decltype(Server::unregister_server)>(dll, "DllUnregisterServer"),
                      entry<decltype(Server::install)>(dll, "DllInstall")};
  if (!check(server.register_server && server.unregister_server && server.install, "VKDClickrc.dll and its exports")) {
    return vkd::testing::finish_checks();
  }
  const Snapshot registered = machine_keys();
  check(registered.count(class_key + L"\\InprocServer32") && registered.count(prog_id + L"\\CLSID"),
        "the class is registered to start with");
  existing_registration_kept(server, registered);
  nothing_left_behind(server, registered);
  per_user_failure(server, registered);
  return vkd::testing::finish_checks();
}
