// SPDX-License-Identifier: MIT

#include "type_library.h"

#include <oleauto.h>

#include <utility>

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
  Microsoft::WRL::ComPtr<ITypeInfo> described;
  HRESULT result = library->GetTypeInfoOfGuid(iid, &described);
  if (FAILED(result)) return result;
  // A dual interface is described twice; calls through the table of
  // methods need the description of the table, not of the dispatch side.
  TYPEATTR* attributes = nullptr;
  result = described->GetTypeAttr(&attributes);
  if (FAILED(result)) return result;
  const bool dispatch_side =
      attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL) != 0;
  described->ReleaseTypeAttr(attributes);
  if (!dispatch_side) {
    info = std::move(described);
    return S_OK;
  }
  HREFTYPE table = 0;
  result = described->GetRefTypeOfImplType(-1, &table);
  if (FAILED(result)) return result;
  return described->GetRefTypeInfo(table, info.ReleaseAndGetAddressOf());
}

}  // namespace morvane::com
