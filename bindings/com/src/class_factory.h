// SPDX-License-Identifier: MIT

// The class factory of Morvane.WG, as DllGetClassObject hands it out.

#ifndef MORVANE_COM_CLASS_FACTORY_H_
#define MORVANE_COM_CLASS_FACTORY_H_

#include <unknwn.h>

#include <atomic>

namespace morvane::com {

class WGClassFactory final : public IClassFactory {
 public:
  WGClassFactory();
  ~WGClassFactory();
  WGClassFactory(const WGClassFactory&) = delete;
  WGClassFactory& operator=(const WGClassFactory&) = delete;

  // A new factory's interface `iid` in `out`.
  static HRESULT Create(REFIID iid, void** out);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;

  // A new WG object; no aggregation.
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  // Keeps the DLL loaded while locked, for clients that create objects
  // later.
  STDMETHODIMP LockServer(BOOL lock) override;

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace morvane::com

#endif  // MORVANE_COM_CLASS_FACTORY_H_
