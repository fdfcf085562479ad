// SPDX-License-Identifier: MIT

// The type library embedded in morvane.dll as its resource: what the
// objects dispatch through and what registration records.

#ifndef MORVANE_COM_TYPE_LIBRARY_H_
#define MORVANE_COM_TYPE_LIBRARY_H_

#include <oaidl.h>
#include <wrl/client.h>

namespace morvane::com {

// Loads the type library from morvane.dll itself, without registering it.
HRESULT LoadModuleTypeLibrary(Microsoft::WRL::ComPtr<ITypeLib>& library);

// The description of interface `iid` in that library.
HRESULT LoadTypeInfo(REFIID iid, Microsoft::WRL::ComPtr<ITypeInfo>& info);

}  // namespace morvane::com

#endif  // MORVANE_COM_TYPE_LIBRARY_H_
