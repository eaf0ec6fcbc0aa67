// The entry points of VKDClickrc.dll, exported by name through VKDClickrc.def.
#include <windows.h>
#include <objbase.h>

#include <cwchar>

#include "VKDClicker.h"  // generated from VKDClicker.idl
#include "component/com/class_factory.h"
#include "component/com/module.h"
#include "component/com/registration.h"

extern "C" {

// Thread notifications stay on: the statically linked runtime cleans up its thread data
// with them.
BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) vkd::com::set_module_handle(instance);
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID class_id, REFIID interface_id, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (class_id != CLSID_Clicker) return CLASS_E_CLASSNOTAVAILABLE;
  return vkd::com::ClassFactory::create(interface_id, object);
}

STDAPI DllCanUnloadNow() { return vkd::com::can_unload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return vkd::com::register_server(vkd::com::Scope::machine); }

STDAPI DllUnregisterServer() { return vkd::com::unregister_server(vkd::com::Scope::machine); }

// regsvr32 /n /i:user registers for the current user alone (no administrator rights
// needed), /u /n /i:user removes that again; without a command line it is the machine.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
  vkd::com::Scope scope = vkd::com::Scope::machine;
  if (command_line != nullptr && *command_line != L'\0') {
    if (_wcsicmp(command_line, L"user") != 0) return E_INVALIDARG;
    scope = vkd::com::Scope::user;
  }
  return install ? vkd::com::register_server(scope) : vkd::com::unregister_server(scope);
}

}  // extern "C"
