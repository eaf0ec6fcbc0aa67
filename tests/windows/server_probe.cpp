// A host of one bitness: creates VKDClicker.Clicker by its ProgID, as scripts do, and
// checks which server DLL it got.
//   server_probe EXPECTED_DLL_PATH   the class is there, served by that DLL
//   server_probe absent              the class is not registered for this bitness
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "check.h"

using Microsoft::WRL::ComPtr;
using vkd::testing::check;

int wmain(int argc, wchar_t** argv) {
  if (argc != 2 || FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::printf("usage: server_probe EXPECTED_DLL_PATH | absent\n");
    return 1;
  }
  const std::wstring expected = argv[1];
  CLSID class_id{};
  ComPtr<_Clicker> clicker;
  const HRESULT created =
      FAILED(CLSIDFromProgID(L"VKDClicker.Clicker", &class_id))
          ? REGDB_E_CLASSNOTREG
          : CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID__Clicker,
                             reinterpret_cast<void**>(clicker.GetAddressOf()));
  const int bits = static_cast<int>(sizeof(void*) * 8);
  if (expected == L"absent") {
    check(FAILED(created), std::to_string(bits) + "-bit host: the class is not there");
  } else if (check(SUCCEEDED(created), std::to_string(bits) + "-bit host creates the class")) {
    BSTR hello = nullptr;
    check(clicker->get_hello(&hello) == S_OK && hello != nullptr, "hello");
    SysFreeString(hello);
    wchar_t loaded[MAX_PATH] = L"";
    GetModuleFileNameW(GetModuleHandleW(L"VKDClickrc.dll"), loaded, MAX_PATH);
    std::printf("%d-bit host got %ls\n", bits, loaded);
    check(_wcsicmp(loaded, expected.c_str()) == 0, "the server of the host's own bitness");
  }
  clicker.Reset();
  CoUninitialize();
  return vkd::testing::finish_checks();
}
