// SPDX-License-Identifier: MIT

// The shared face of morvane.dll's objects: reference counting, the
// module's object count, IDispatch through the type library and
// ISupportErrorInfo. `Interface` is a dual interface of the library; the
// derived class implements its methods.
//
// Late-bound calls go to ITypeInfo::Invoke, which reads the member's
// parameters from the type library and calls the method through the
// interface's table; names are looked up in the type library too, without
// regard to letter case. No member is dispatched by hand.

#ifndef MORVANE_COM_AUTOMATION_OBJECT_H_
#define MORVANE_COM_AUTOMATION_OBJECT_H_

#include <oaidl.h>
#include <oleauto.h>
#include <wrl/client.h>

#include <atomic>
#include <memory>
#include <new>
#include <utility>

#include "error_info.h"
#include "module_counts.h"
#include "script_arguments.h"
#include "type_library.h"

namespace morvane::com {

template <class Interface>
class AutomationObject : public Interface, public ISupportErrorInfo {
 public:
  virtual ~AutomationObject() { ObjectDestroyed(); }
  AutomationObject(const AutomationObject&) = delete;
  AutomationObject& operator=(const AutomationObject&) = delete;

  // Makes a new object of class `Object` (constructed from `args`) and
  // returns its interface `iid` in `out`, counted once.
  template <class Object, class... Args>
  static HRESULT Create(REFIID iid, void** out, Args&&... args) {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    std::unique_ptr<Object> object;
    try {
      object = std::make_unique<Object>(std::forward<Args>(args)...);
    } catch (const std::bad_alloc&) {
      return E_OUTOFMEMORY;
    }
    const HRESULT loaded = LoadTypeInfo(__uuidof(Interface), object->type_info_);
    if (FAILED(loaded)) return loaded;
    // From here the object's own count owns it.
    Object* counted = object.release();
    const HRESULT found = counted->QueryInterface(iid, out);
    counted->Release();
    return found;
  }

  // IUnknown.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
        IsEqualIID(iid, __uuidof(Interface))) {
      *out = static_cast<Interface*>(this);
    } else if (IsEqualIID(iid, IID_ISupportErrorInfo)) {
      *out = static_cast<ISupportErrorInfo*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override {
    const ULONG left = --references_;
    if (left == 0) std::unique_ptr<AutomationObject> last(this);
    return left;
  }

  // IDispatch, through the type library.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override {
    if (info == nullptr) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return type_info_.CopyTo(info);
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispGetIDsOfNames(type_info_.Get(), names, count, ids);
  }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* bad_argument) override {
    ScriptArguments arguments(params);
    return type_info_->Invoke(static_cast<Interface*>(this), id, flags, arguments.Get(), result,
                              exception, bad_argument);
  }

  // ISupportErrorInfo: the interface's failures come with an error object.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return IsEqualIID(iid, __uuidof(Interface)) ? S_OK : S_FALSE;
  }

 protected:
  AutomationObject() { ObjectCreated(); }

  ITypeInfo* TypeInfo() const { return type_info_.Get(); }

  // Runs `body`, turning what it raises into an automation error of this
  // interface from `source`.
  template <class Body>
  HRESULT Guard(const wchar_t* source, Body&& body) {
    return Guarded(__uuidof(Interface), source, std::forward<Body>(body));
  }

 private:
  std::atomic<ULONG> references_{1};
  Microsoft::WRL::ComPtr<ITypeInfo> type_info_;
};

}  // namespace morvane::com

#endif  // MORVANE_COM_AUTOMATION_OBJECT_H_
