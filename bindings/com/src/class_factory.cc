// SPDX-License-Identifier: MIT

#include "class_factory.h"

#include <memory>
#include <new>

#include "com_wg.h"
#include "module_counts.h"

namespace morvane::com {

// A factory counts as a live object: a client holding one keeps the DLL.
WGClassFactory::WGClassFactory() { ObjectCreated(); }
WGClassFactory::~WGClassFactory() { ObjectDestroyed(); }

HRESULT WGClassFactory::Create(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  std::unique_ptr<WGClassFactory> factory;
  try {
    factory = std::make_unique<WGClassFactory>();
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  WGClassFactory* counted = factory.release();
  const HRESULT found = counted->QueryInterface(iid, out);
  counted->Release();
  return found;
}

STDMETHODIMP WGClassFactory::QueryInterface(REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) {
    *out = nullptr;
    return E_NOINTERFACE;
  }
  *out = static_cast<IClassFactory*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) WGClassFactory::AddRef() { return ++references_; }

STDMETHODIMP_(ULONG) WGClassFactory::Release() {
  const ULONG left = --references_;
  if (left == 0) std::unique_ptr<WGClassFactory> last(this);
  return left;
}

STDMETHODIMP WGClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return AutomationObject<_WG>::Create<ComWG>(iid, out);
}

STDMETHODIMP WGClassFactory::LockServer(BOOL lock) {
  if (lock) {
    ServerLocked();
  } else {
    ServerUnlocked();
  }
  return S_OK;
}

}  // namespace morvane::com
