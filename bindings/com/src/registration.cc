// SPDX-License-Identifier: MIT

#include "registration.h"

#include <oleauto.h>
#include <wrl/client.h>

#include <string>
#include <vector>

#include "module_counts.h"
#include "morvane.h"
#include "type_library.h"

namespace morvane::com {
namespace {

constexpr const wchar_t* kClassName = L"WG";

// A registry key opened or created for writing, closed when it goes.
class RegistryKey {
 public:
  RegistryKey(HKEY parent, const std::wstring& path) {
    result_ = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                              nullptr, &key_, nullptr);
  }
  ~RegistryKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  // Sets the value `name` (nullptr for the key's default value).
  LONG Set(const wchar_t* name, const std::wstring& value) {
    if (result_ != ERROR_SUCCESS) return result_;
    const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key_, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          bytes);
  }

 private:
  HKEY key_ = nullptr;
  LONG result_ = ERROR_SUCCESS;
};

std::wstring GuidText(REFGUID guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, static_cast<int>(std::size(text)));
  return text;
}

std::wstring ClassKey() { return L"CLSID\\" + GuidText(CLSID_WG); }

// The keys under HKEY_CLASSES_ROOT and their values, in writing order.
struct Entry {
  std::wstring key;
  const wchar_t* name;  // nullptr: the default value
  std::wstring value;
};

std::vector<Entry> Entries(const std::wstring& module_path) {
  const std::wstring clsid = GuidText(CLSID_WG);
  const std::wstring libid = GuidText(LIBID_Morvane);
  const std::wstring versioned = kVersionedProgId;
  return {
      {kProgId, nullptr, kClassName},
      {std::wstring(kProgId) + L"\\CLSID", nullptr, clsid},
      {std::wstring(kProgId) + L"\\CurVer", nullptr, versioned},
      {versioned, nullptr, kClassName},
      {versioned + L"\\CLSID", nullptr, clsid},
      {ClassKey(), nullptr, kClassName},
      {ClassKey() + L"\\InprocServer32", nullptr, module_path},
      {ClassKey() + L"\\InprocServer32", L"ThreadingModel", L"Apartment"},
      {ClassKey() + L"\\ProgID", nullptr, versioned},
      {ClassKey() + L"\\VersionIndependentProgID", nullptr, kProgId},
      {ClassKey() + L"\\TypeLib", nullptr, libid},
      {ClassKey() + L"\\Version", nullptr, L"" MORVANE_COM_VERSION_MAJOR L".0"},
  };
}

}  // namespace

HRESULT RegisterServer() {
  const std::wstring path = ModulePath();
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  for (const Entry& entry : Entries(path)) {
    RegistryKey key(HKEY_CLASSES_ROOT, entry.key);
    const LONG written = key.Set(entry.name, entry.value);
    if (written != ERROR_SUCCESS) {
      UnregisterServer();
      return HRESULT_FROM_WIN32(written);
    }
  }
  Microsoft::WRL::ComPtr<ITypeLib> library;
  HRESULT result = LoadModuleTypeLibrary(library);
  if (SUCCEEDED(result))
    result = RegisterTypeLib(library.Get(), const_cast<wchar_t*>(path.c_str()), nullptr);
  if (FAILED(result)) UnregisterServer();
  return result;
}

HRESULT UnregisterServer() {
  HRESULT result = S_OK;
  for (const std::wstring& key :
       {std::wstring(kProgId), std::wstring(kVersionedProgId), ClassKey()}) {
    const LONG removed = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (removed != ERROR_SUCCESS && removed != ERROR_FILE_NOT_FOUND) {
      result = HRESULT_FROM_WIN32(removed);
    }
  }
  Microsoft::WRL::ComPtr<ITypeLib> library;
  if (SUCCEEDED(LoadModuleTypeLibrary(library))) {
    TLIBATTR* attributes = nullptr;
    if (SUCCEEDED(library->GetLibAttr(&attributes))) {
      const HRESULT removed =
          UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                            attributes->lcid, attributes->syskind);
      library->ReleaseTLibAttr(attributes);
      if (FAILED(removed) && removed != TYPE_E_REGISTRYACCESS) result = removed;
    }
  }
  return result;
}

}  // namespace morvane::com
