// SPDX-License-Identifier: MIT

#include "com_wg.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "script_arguments.h"
#include "tessaly/platform/error.h"
#include "text.h"

namespace morvane::com {
namespace {

// The automation type a parameter of a command is converted to.
VARTYPE AutomationType(platform::VarType type) {
  switch (type) {
    case platform::VarType::kLong: return VT_I4;
    case platform::VarType::kInteger: return VT_I2;
    default: return VT_BSTR;
  }
}

// `argument` (a value or a reference) as the gateway's value of `type`.
HRESULT ToGateway(const VARIANT& argument, platform::VarType type, platform::Variant& value) {
  VARIANT converted;
  VariantInit(&converted);
  const HRESULT result =
      VariantChangeType(&converted, const_cast<VARIANT*>(&argument), 0, AutomationType(type));
  if (FAILED(result)) return result;
  switch (V_VT(&converted)) {
    case VT_I4: value = static_cast<int32_t>(V_I4(&converted)); break;
    case VT_I2: value = static_cast<int16_t>(V_I2(&converted)); break;
    default: value = ToUtf8(V_BSTR(&converted)); break;
  }
  VariantClear(&converted);
  return S_OK;
}

// The record `record` as a VT_RECORD value described by the type library's
// CommandReturn; the value takes over the record's strings.
HRESULT ToRecordVariant(ITypeInfo* interface_info, REFGUID record_id, ::CommandReturn& record,
                        VARIANT* result) {
  Microsoft::WRL::ComPtr<ITypeLib> library;
  UINT index = 0;
  HRESULT hr = interface_info->GetContainingTypeLib(&library, &index);
  if (FAILED(hr)) return hr;
  Microsoft::WRL::ComPtr<ITypeInfo> record_type;
  hr = library->GetTypeInfoOfGuid(record_id, &record_type);
  if (FAILED(hr)) return hr;
  Microsoft::WRL::ComPtr<IRecordInfo> record_info;
  hr = GetRecordInfoFromTypeInfo(record_type.Get(), &record_info);
  if (FAILED(hr)) return hr;
  // The record is filled by assignment rather than RecordCopy, since
  // Wine's RecordCopy leaves a record inside a record empty. The layouts
  // agree, as the header and the type library come from one IDL file.
  ULONG size = 0;
  hr = record_info->GetSize(&size);
  if (FAILED(hr)) return hr;
  if (size != sizeof(::CommandReturn)) return TYPE_E_TYPEMISMATCH;
  void* copy = record_info->RecordCreate();
  if (copy == nullptr) return E_OUTOFMEMORY;
  *static_cast<::CommandReturn*>(copy) = record;
  record = {};  // the copy owns the strings now
  V_VT(result) = VT_RECORD;
  V_RECORD(result) = copy;
  V_RECORDINFO(result) = record_info.Detach();
  return S_OK;
}

void FreeRecord(::CommandReturn& record) {
  SysFreeString(record.error_object.description);
  SysFreeString(record.string_value);
  record = {};
}

}  // namespace

STDMETHODIMP ComWG::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                           VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) {
  const platform::MemberInfo* member = platform::FindMember(wg_.Members(), id);
  if (member != nullptr && member->result == platform::VarType::kRecord &&
      (flags & DISPATCH_METHOD) != 0) {
    return CallWithRecordResult(*member, params, result, exception, bad_argument);
  }
  return AutomationObject::Invoke(id, iid, locale, flags, params, result, exception, bad_argument);
}

HRESULT ComWG::CallWithRecordResult(const platform::MemberInfo& member, DISPPARAMS* params,
                                    VARIANT* result, EXCEPINFO* exception, UINT* bad_argument) {
  if (params == nullptr) return E_INVALIDARG;
  if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (params->cArgs != member.params.size()) return DISP_E_BADPARAMCOUNT;
  ScriptArguments arguments(params);
  const DISPPARAMS* resolved = arguments.Get();
  // Arguments come last to first.
  std::vector<platform::Variant> values(member.params.size());
  for (size_t i = 0; i < values.size(); ++i) {
    const UINT position = params->cArgs - 1 - static_cast<UINT>(i);
    const HRESULT converted =
        ToGateway(resolved->rgvarg[position], member.params[i].type, values[i]);
    if (FAILED(converted)) {
      if (bad_argument != nullptr) *bad_argument = position;
      return converted;
    }
  }
  ::CommandReturn record = {};
  const HRESULT called = Guard(L"Morvane.WG", [&] {
    StoreResult(wg_.Invoke(member.id, platform::InvokeKind::kMethod, values), &record);
  });
  if (FAILED(called)) {
    if (exception == nullptr) return called;
    *exception = {};
    exception->scode = called;
    exception->bstrSource = SysAllocString(L"Morvane.WG");
    Microsoft::WRL::ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) == S_OK) info->GetDescription(&exception->bstrDescription);
    return DISP_E_EXCEPTION;
  }
  HRESULT stored = S_OK;
  if (result != nullptr) {
    VariantInit(result);
    stored = ToRecordVariant(TypeInfo(), kCommandReturnRecordId, record, result);
  }
  FreeRecord(record);
  return stored;
}

}  // namespace morvane::com
