// SPDX-License-Identifier: MIT

// What regsvr32 writes and removes: the class Morvane.WG under its
// programmatic identifiers, its in-process server and the type library.

#ifndef MORVANE_COM_REGISTRATION_H_
#define MORVANE_COM_REGISTRATION_H_

#include <windows.h>

namespace morvane::com {

// The version-independent and the versioned programmatic identifier.
inline constexpr const wchar_t* kProgId = L"Morvane.WG";
inline constexpr const wchar_t* kVersionedProgId = L"Morvane.WG." MORVANE_COM_VERSION_MAJOR;

// Writes the class's keys for morvane.dll at its present path and
// registers its type library. On failure removes what it wrote.
HRESULT RegisterServer();

// Removes every key RegisterServer writes and the type library's
// registration. Keys that are already gone are no error.
HRESULT UnregisterServer();

}  // namespace morvane::com

#endif  // MORVANE_COM_REGISTRATION_H_
