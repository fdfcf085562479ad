// SPDX-License-Identifier: MIT

#include "error_info.h"

#include <oleauto.h>
#include <wrl/client.h>

#include "text.h"

namespace morvane::com {

HRESULT ErrorNumberResult(int32_t number) {
  return MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, static_cast<WORD>(number));
}

HRESULT RaiseError(HRESULT result, const std::string& description, REFIID iid,
                   const wchar_t* source) {
  Microsoft::WRL::ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(&create))) return result;
  const std::wstring text = ToUtf16(description);
  create->SetGUID(iid);
  create->SetSource(const_cast<LPOLESTR>(source));
  create->SetDescription(const_cast<LPOLESTR>(text.c_str()));
  Microsoft::WRL::ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create.As(&info))) SetErrorInfo(0, info.Get());
  return result;
}

}  // namespace morvane::com
