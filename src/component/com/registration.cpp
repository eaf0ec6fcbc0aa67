#include "component/com/registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <new>
#include <string>
#include <vector>

#include "VKDClicker.h"          // generated from VKDClicker.idl
#include "component_identity.h"  // generated from cmake/identity.cmake
#include "component/com/com_boundary.h"
#include "component/com/embedded_type_library.h"
#include "component/com/module.h"
#include "component/com/registry_key.h"
#include "component/com/registry_undo.h"

// Present in oleaut32 since Windows Vista, missing from mingw-w64's headers.
extern "C" {
HRESULT WINAPI RegisterTypeLibForUser(ITypeLib* library, OLECHAR* path, OLECHAR* help_folder);
HRESULT WINAPI UnRegisterTypeLibForUser(REFGUID library, WORD major_version, WORD minor_version,
                                        LCID locale, SYSKIND system);
}

namespace vkd::com {

namespace {

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
    RegistryKey key;
    return RegOpenKeyExW(root_, path(subkey).c_str(), 0, KEY_READ, key.receive()) == ERROR_SUCCESS;
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
std::wstring interface_key() { return L"Interface\\" + guid_text(IID__Clicker); }

// The registry view of the server of the other bitness.
constexpr REGSAM other_bitness_view = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

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

enum class Bitness { this_build, other };

// A bitness's entry of the type library, "TypeLib\{...}\<version>\0\win64" or "...\win32".
std::wstring type_library_entry(Bitness bitness) {
  const bool win64 = (sizeof(void*) == 8) == (bitness == Bitness::this_build);
  return L"TypeLib\\" + guid_text(LIBID_VKDClicker) + L"\\" + type_library_version + L"\\0\\" +
         (win64 ? L"win64" : L"win32");
}

// The interface's entry as the type library registration writes it for the server of the
// other bitness. Windows keeps the interfaces of the two bitnesses apart, Wine keeps one
// for both, which unregistering the type library for one bitness deletes; the other
// server, still registered, needs it to be marshalled between apartments.
void keep_interface_for_other_bitness(const TLIBATTR& version) {
  const std::wstring clicker_interface = interface_key();
  const std::wstring automation_marshaler = L"{00020424-0000-0000-C000-000000000046}";
  const std::wstring library_version =
      std::to_wstring(version.wMajorVerNum) + L"." + std::to_wstring(version.wMinorVerNum);
  const Entry entries[] = {
      {clicker_interface, nullptr, L"_Clicker"},
      {clicker_interface + L"\\ProxyStubClsid", nullptr, automation_marshaler},
      {clicker_interface + L"\\ProxyStubClsid32", nullptr, automation_marshaler},
      {clicker_interface + L"\\TypeLib", nullptr, guid_text(version.guid)},
      {clicker_interface + L"\\TypeLib", L"Version", library_version},
  };
  for (const auto& entry : entries) {
    RegistryKey key;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, entry.key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE | other_bitness_view, nullptr, key.receive(), nullptr) != ERROR_SUCCESS) {
      return;
    }
    key.set_text(entry.name, entry.value);
  }
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
  if (SUCCEEDED(outcome)) {
    if (ClassesKey(Scope::machine).exists(type_library_entry(Bitness::other))) {
      keep_interface_for_other_bitness(version);
    }
    return outcome;
  }
  // A library that is not registered cannot be unregistered; which failure says so
  // differs between systems (Wine answers E_INVALIDARG).
  BSTR registered_path = nullptr;
  const HRESULT found = QueryPathOfRegTypeLib(version.guid, version.wMajorVerNum,
                                              version.wMinorVerNum, version.lcid, &registered_path);
  SysFreeString(registered_path);
  return FAILED(found) ? S_OK : outcome;
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
  const bool library_was_registered = merged.exists(type_library_entry(Bitness::this_build));
  const bool interface_was_registered = merged.exists(interface_key());
  const HRESULT outcome = register_type_library(scope, path);
  if (FAILED(outcome)) {
    if (!library_was_registered) unregister_type_library(scope);
    if (!interface_was_registered) merged.remove(interface_key());
    return outcome;
  }
  undo.keep();
  return outcome;
}

// Whether the server of the other bitness still registers the class. On 64-bit Windows
// the 32-bit and the 64-bit classes live apart, but both share one ProgID.
bool registered_for_other_bitness(const ClassesKey& classes) {
  RegistryKey key;
  const std::wstring server = classes.path(class_key() + L"\\InprocServer32");
  return RegOpenKeyExW(classes.root(), server.c_str(), 0, KEY_READ | other_bitness_view, key.receive()) ==
         ERROR_SUCCESS;
}

HRESULT remove_entries(Scope scope) {
  const ClassesKey classes(scope);
  LSTATUS status = classes.remove(class_key());
  // The ProgID is left alone when another class has taken it over since, or when the
  // server of the other bitness still needs it.
  const std::wstring prog = prog_id;
  if (status == ERROR_SUCCESS && classes.get(prog + L"\\CLSID") == guid_text(CLSID_Clicker) &&
      !registered_for_other_bitness(classes)) {
    status = classes.remove(prog);
  }
  if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
  return unregister_type_library(scope);
}

}  // namespace

HRESULT register_server(Scope scope) noexcept {
  return boundary([scope] { return write_entries(scope); });
}

HRESULT unregister_server(Scope scope) noexcept {
  return boundary([scope] { return remove_entries(scope); });
}

}  // namespace vkd::com
