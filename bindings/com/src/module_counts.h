// SPDX-License-Identifier: MIT

// What keeps morvane.dll loaded: the objects it has handed out that are
// still alive, and the locks clients took with IClassFactory::LockServer.
// DllCanUnloadNow answers from these two counts.

#ifndef MORVANE_COM_MODULE_COUNTS_H_
#define MORVANE_COM_MODULE_COUNTS_H_

#include <windows.h>

#include <string>

namespace morvane::com {

void ObjectCreated();
void ObjectDestroyed();
void ServerLocked();
void ServerUnlocked();

// True when no object is alive and no lock is held.
bool ModuleIsIdle();

// The module handle of morvane.dll, recorded when the DLL is loaded.
void SetModuleHandle(HMODULE module);
HMODULE ModuleHandle();

// The full path of morvane.dll.
std::wstring ModulePath();

}  // namespace morvane::com

#endif  // MORVANE_COM_MODULE_COUNTS_H_
