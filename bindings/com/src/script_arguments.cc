// SPDX-License-Identifier: MIT

#include "script_arguments.h"

namespace morvane::com {
namespace {

// `argument` with a reference to a Variant resolved as the header says.
// The copies are shallow: the caller keeps owning every value.
VARIANT Resolved(const VARIANT& argument) {
  if (V_VT(&argument) != (VT_VARIANT | VT_BYREF) || V_VARIANTREF(&argument) == nullptr) {
    return argument;
  }
  VARIANT* variable = V_VARIANTREF(&argument);
  VARIANT resolved;
  if (V_VT(variable) == VT_BSTR) {
    V_VT(&resolved) = VT_BSTR | VT_BYREF;
    V_BSTRREF(&resolved) = &V_BSTR(variable);
    return resolved;
  }
  return *variable;
}

}  // namespace

ScriptArguments::ScriptArguments(DISPPARAMS* params) : original_(params) {
  if (params == nullptr) return;
  params_ = *params;
  if (params->cArgs == 0 || params->rgvarg == nullptr) return;
  arguments_.reserve(params->cArgs);
  for (UINT i = 0; i < params->cArgs; ++i) arguments_.push_back(Resolved(params->rgvarg[i]));
  params_.rgvarg = arguments_.data();
}

}  // namespace morvane::com
