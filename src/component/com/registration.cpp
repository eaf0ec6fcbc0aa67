#include "component/com/registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>
#include <vector>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/com/embedded_type_library.h"
#include "component/com/module.h"
#include "component/com/registry_undo.h"

// Present in oleaut32 since Windows Vista, missing from mingw-w64's headers.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* help_folder);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID library, WORD major_version, WORD minor_version,
                                        LCID locale, SYSKIND system);
}

namespace vkd::com {

namespace {

constexpr const wchar_t* prog_id = L"VKDClicker.Clicker";

std::wstring guid_text(REFGUID guid) {
  wchar_t text[40];
  StringFromGUID2(guid, text, 40);
  return text;
}

// Where a scope keeps its classes.
class ClassesKey {
 public:
  explicit ClassesKey(Scope scope)
      : root_(scope == Scope::machine ? HKEY_CLASSES_ROOT : HKEY_CURRENT_USER),
        prefix_(scope == Scope::machine ? L"" : L"Software\\Classes\\") {}

  HKEY root() const { return root_; }
  std::wstring path(const std::wstring& subkey) const { return prefix_ + subkey; }

  // The default value of a key, empty when the key or the value does not exist.
  std::wstring get(const std::wstring& subkey) const {
    wchar_t value[64] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    RegGetValueW(root_, path(subkey).c_str(), nullptr, RRF_RT_REG_SZ, nullptr, value, &size);
    return value;
  }

  bool exists(const std::wstring& subkey) const {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root_, path(subkey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  LSTATUS remove(const std::wstring& subkey) const {
    const LSTATUS status = RegDeleteTreeW(root_, path(subkey).c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
  }

 private:
  HKEY root_;
  std::wstring prefix_;
};

struct Entry {
  std::wstring key;
  const wchar_t* name;  // nullptr: the key's default value
  std::wstring value;
};

std::wstring class_key() { return L"CLSID\\" + guid_text(CLSID_Clicker); }

std::vector<Entry> class_entries(const std::wstring& server_path) {
  const std::wstring clsid = class_key();
  const std::wstring prog = prog_id;
  return {
      {clsid, nullptr, prog},
      {clsid + L"\\InprocServer32", nullptr, server_path},
      {clsid + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {clsid + L"\\ProgID", nullptr, prog},
      {clsid + L"\\TypeLib", nullptr, guid_text(LIBID_VKDClicker)},
      {prog, nullptr, prog},
      {prog + L"\\CLSID", nullptr, guid_text(CLSID_Clicker)},
  };
}

HRESULT register_type_library(Scope scope, std::wstring path) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT outcome = load_embedded_type_library(&library);
  if (FAILED(outcome)) return outcome;
  return scope == Scope::machine ? RegisterTypeLib(library.Get(), path.data(), nullptr)
                                 : RegisterTypeLibForUser(library.Get(), path.data(), nullptr);
}

HRESULT unregister_type_library(Scope scope) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  HRESULT outcome = load_embedded_type_library(&library);
  if (FAILED(outcome)) return outcome;
  TLIBATTR* attributes = nullptr;
  outcome = library->GetLibAttr(&attributes);
  if (FAILED(outcome)) return outcome;
  const TLIBATTR version = *attributes;
  library->ReleaseTLibAttr(attributes);
  outcome = scope == Scope::machine
                ? UnRegisterTypeLib(version.guid, version.wMajorVerNum, version.wMinorVerNum,
                                    version.lcid, version.syskind)
                : UnRegisterTypeLibForUser(version.guid, version.wMajorVerNum,
                                           version.wMinorVerNum, version.lcid, version.syskind);
  if (SUCCEEDED(outcome)) return outcome;
  // A library that is not registered cannot be unregistered; which failure says so
  // differs between systems (Wine answers E_INVALIDARG).
  BSTR registered_path = nullptr;
  const HRESULT found = QueryPathOfRegTypeLib(version.guid, version.wMajorVerNum,
                                              version.wMinorVerNum, version.lcid, &registered_path);
  SysFreeString(registered_path);
  return FAILED(found) ? S_OK : outcome;
}

// This build's entry of the type library, "TypeLib\{...}\5.1\0\win64" or "...\win32".
std::wstring type_library_entry() {
  const wchar_t* platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  return L"TypeLib\\" + guid_text(LIBID_VKDClicker) + L"\\5.1\\0\\" + platform;
}

// Writes every entry; a failure takes back what was written, and only that.
HRESULT write_entries(Scope scope) {
  const std::wstring path = module_path();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  const ClassesKey classes(scope);
  RegistryUndo undo(classes.root());
  for (const Entry& entry : class_entries(path)) {
    const LSTATUS status = undo.set_text(classes.path(entry.key), entry.name, entry.value);
    if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  }
  // The platform writes the type library's keys itself, and Wine goes on to the
  // interface's after the library's own failed. So when it fails, the library's entry and
  // the interface that were not registered before are taken out again; what was there
  // before is left as it stands.
  const ClassesKey merged(Scope::machine);
  const std::wstring interface_key = L"Interface\\" + guid_text(IID__Clicker);
  const bool library_was_registered = merged.exists(type_library_entry());
  const bool interface_was_registered = merged.exists(interface_key);
  const HRESULT outcome = register_type_library(scope, path);
  if (FAILED(outcome)) {
    if (!library_was_registered) unregister_type_library(scope);
    if (!interface_was_registered) merged.remove(interface_key);
    return outcome;
  }
  undo.keep();
  return outcome;
}

HRESULT remove_entries(Scope scope) {
  const ClassesKey classes(scope);
  LSTATUS status = classes.remove(class_key());
  // The ProgID is left alone when another class has taken it over since.
  const std::wstring prog = prog_id;
  if (status == ERROR_SUCCESS && classes.get(prog + L"\\CLSID") == guid_text(CLSID_Clicker)) {
    status = classes.remove(prog);
  }
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  return unregister_type_library(scope);
}

}  // namespace

HRESULT register_server(Scope scope) noexcept {
  try {
    return write_entries(scope);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

HRESULT unregister_server(Scope scope) noexcept {
  try {
    return remove_entries(scope);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace vkd::com
