// SPDX-License-Identifier: MIT

#include "type_library.h"

#include <oleauto.h>

#include "module_counts.h"

namespace morvane::com {

HRESULT LoadModuleTypeLibrary(Microsoft::WRL::ComPtr<ITypeLib>& library) {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

HRESULT LoadTypeInfo(REFIID iid, Microsoft::WRL::ComPtr<ITypeInfo>& info) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  const HRESULT loaded = LoadModuleTypeLibrary(library);
  if (FAILED(loaded)) return loaded;
  return library->GetTypeInfoOfGuid(iid, info.ReleaseAndGetAddressOf());
}

}  // namespace morvane::com
