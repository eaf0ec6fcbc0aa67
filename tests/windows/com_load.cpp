// The server under load, in one process: many objects created, called and released
// through CoCreateInstance leave nothing behind (DllCanUnloadNow, private memory, handles),
// and objects on two single-threaded apartments work at the same time. Runs with the
// simulated library's built-in scanner.
#include <windows.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "check.h"
#include "new_clicker.h"
#include "test_value.h"
#include "process_usage.h"

using Microsoft::WRL::ComPtr;
using vkd::testing::check;
using vkd::testing::clear;
using vkd::testing::error_subscript;
using vkd::testing::error_type_mismatch;
using vkd::testing::new_clicker;
using vkd::testing::Value;

namespace {

// A property put by name, the value handed over by reference as scripts hand a variable.
HRESULT put_by_reference(IDispatch& object, DISPID member, VARIANT& value, EXCEPINFO& exception) {
  VARIANT reference;
  V_VT(&reference) = VT_VARIANT | VT_BYREF;
  V_VARIANTREF(&reference) = &value;
  DISPID put = DISPID_PROPERTYPUT;
  DISPPARAMS arguments{&reference, &put, 1, 1};
  return object.Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &arguments, nullptr, &exception,
                       nullptr);
}

constexpr DISPID get_barcode_id = 0x4003000B;
constexpr DISPID pdelimiter_id = 0x6803000F;

// One life: created, given a delimiter by reference and an index that is no number (13,
// through the error object), asked for hello and for a barcode that is not there (9), and
// released. False when any step went otherwise.
bool one_life(const wchar_t* delimiter) {
  ComPtr<_Clicker> clicker = new_clicker();
  ComPtr<IDispatch> late;
  if (!clicker || FAILED(clicker.As(&late))) return false;
  Value text(VT_BSTR);
  V_BSTR(&text.value) = SysAllocString(delimiter);
  EXCEPINFO exception{};
  bool ok = put_by_reference(*late.Get(), pdelimiter_id, text.value, exception) == S_OK;
  ok = put_by_reference(*late.Get(), get_barcode_id, text.value, exception) == DISP_E_EXCEPTION &&
       exception.scode == error_type_mismatch && ok;
  clear(exception);
  BSTR hello = nullptr;
  ok = clicker->get_hello(&hello) == S_OK && ok;
  SysFreeString(hello);
  Value barcode;
  ok = clicker->get_sbarcode(&barcode.value) == error_subscript && ok;
  ComPtr<IErrorInfo> info;
  ok = GetErrorInfo(0, &info) == S_OK && ok;
  return ok;
}

void many_lives() {
  constexpr int warm_up = 500;
  constexpr int lives = 10000;
  int failed = 0;
  for (int i = 0; i < warm_up; ++i) failed += one_life(L"|") ? 0 : 1;
  const vkd::testing::ProcessUsage before = vkd::testing::process_usage();
  for (int i = 0; i < lives; ++i) failed += one_life(L"|") ? 0 : 1;
  const vkd::testing::ProcessUsage after = vkd::testing::process_usage();
  const double growth_kb = (static_cast<double>(after.private_bytes) - static_cast<double>(before.private_bytes)) / 1024;
  const long handle_growth = static_cast<long>(after.handles) - static_cast<long>(before.handles);
  std::printf("%d lives: private memory %zu -> %zu bytes (%+.0f KB), handles %lu -> %lu\n", lives,
              static_cast<size_t>(before.private_bytes), static_cast<size_t>(after.private_bytes), growth_kb,
              before.handles, after.handles);
  check(failed == 0, std::to_string(failed) + " lives went otherwise");
  check(before.private_bytes > 0 && before.handles > 0, "the process reports its memory and handles");
  check(growth_kb < 1024, "private memory grows by less than 1 MB");
  check(handle_growth < 10, "the handle count grows by fewer than 10");

  using CanUnloadNow = HRESULT(STDAPICALLTYPE*)();
  HMODULE dll = GetModuleHandleW(L"VKDClickrc.dll");
  const auto can_unload_now =
      dll ? reinterpret_cast<CanUnloadNow>(reinterpret_cast<void*>(GetProcAddress(dll, "DllCanUnloadNow"))) : nullptr;
  check(can_unload_now != nullptr && can_unload_now() == S_OK, "DllCanUnloadNow S_OK once every object is gone");
}

// One apartment downloads, with its settling pause, while the other creates and uses
// objects of its own; each sees only its own values and its own errors.
void two_apartments() {
  std::atomic<bool> downloading{true};
  bool download_ok = false;
  int other_lives = 0;
  int other_failures = 0;
  std::thread downloader([&] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    {
      ComPtr<_Clicker> clicker = new_clicker();
      Value port(VT_I2);
      V_I2(&port.value) = 3;
      short count = 0;
      VARIANT_BOOL found = VARIANT_FALSE;
      download_ok = clicker && clicker->put_lastport(&port.value) == S_OK && clicker->open_clicker() == S_OK &&
                    clicker->get_open_ok(&found) == S_OK && found == VARIANT_TRUE &&
                    clicker->get_num_barcodes(&count) == S_OK && count > 0;
    }
    downloading = false;
    CoUninitialize();
  });
  std::thread user([&] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    while ((downloading || other_lives == 0) && other_lives < 100000) {
      other_failures += one_life(L"#") ? 0 : 1;
      ++other_lives;
    }
    CoUninitialize();
  });
  downloader.join();
  user.join();
  std::printf("the other apartment lived %d lives during the download\n", other_lives);
  check(download_ok, "the download in one apartment");
  check(other_lives > 1 && other_failures == 0, "objects in the other apartment meanwhile");
}

}  // namespace

int main() {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
    std::printf("CoInitializeEx failed\n");
    return 1;
  }
  many_lives();
  two_apartments();
  CoUninitialize();
  return vkd::testing::finish_checks();
}
