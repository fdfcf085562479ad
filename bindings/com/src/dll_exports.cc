// SPDX-License-Identifier: MIT

// The entry points of morvane.dll, as COM and regsvr32 call them.

#include <windows.h>

#include "class_factory.h"
#include "module_counts.h"
#include "morvane.h"
#include "registration.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    morvane::com::SetModuleHandle(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_WG)) return CLASS_E_CLASSNOTAVAILABLE;
  return morvane::com::WGClassFactory::Create(iid, out);
}

STDAPI DllCanUnloadNow() { return morvane::com::ModuleIsIdle() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return morvane::com::RegisterServer(); }

STDAPI DllUnregisterServer() { return morvane::com::UnregisterServer(); }

}  // extern "C"
