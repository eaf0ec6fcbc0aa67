// A C++ client of an installed component: loads the type library by its identifier and
// version from the registry, as an early-bound client does, and checks where it came from.
//   registered_type_library EXPECTED_DLL_PATH
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <string>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "check.h"
#include "component_identity.h"  // generated from cmake/identity.cmake

using Microsoft::WRL::ComPtr;
using vkd::testing::check;

namespace {

// "5.1" as the two numbers of the library's version.
bool parse_version(const wchar_t* text, WORD& major, WORD& minor) {
  unsigned first = 0, second = 0;
  if (swscanf(text, L"%u.%u", &first, &second) != 2) return false;
  major = static_cast<WORD>(first);
  minor = static_cast<WORD>(second);
  return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (!check(argc == 2, "the expected server path as the argument")) return vkd::testing::finish_checks();
  const std::wstring expected = argv[1];
  const std::string host = std::to_string(sizeof(void*) * 8) + "-bit client: ";
  WORD major = 0, minor = 0;
  check(parse_version(vkd::com::type_library_version, major, minor), "the library's version");

  BSTR registered = nullptr;
  const bool found = check(SUCCEEDED(QueryPathOfRegTypeLib(LIBID_VKDClicker, major, minor, 0, &registered)),
                           host + "the type library is registered");
  if (found) {
    check(lstrcmpiW(registered, expected.c_str()) == 0, host + "registered as the installed server of its bitness");
  }
  SysFreeString(registered);

  ComPtr<ITypeLib> library;
  if (check(SUCCEEDED(LoadRegTypeLib(LIBID_VKDClicker, major, minor, 0, &library)),
            host + "LoadRegTypeLib loads it")) {
    ComPtr<ITypeInfo> clicker;
    check(SUCCEEDED(library->GetTypeInfoOfGuid(CLSID_Clicker, &clicker)), host + "it describes the class");
    BSTR help = nullptr;
    check(SUCCEEDED(library->GetDocumentation(-1, nullptr, &help, nullptr, nullptr)) && help != nullptr &&
              SysStringLen(help) > 0,
          host + "with its help string");
    SysFreeString(help);
  }
  return vkd::testing::finish_checks();
}
