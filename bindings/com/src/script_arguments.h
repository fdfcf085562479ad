// SPDX-License-Identifier: MIT

// The arguments of a late-bound call as the type library expects them.
//
// Script engines pass a variable as a reference to a Variant
// (VT_VARIANT | VT_BYREF), whatever the parameter's declared type, while
// the members of _WG take Strings and Longs by reference. A variable that
// holds a String is passed on as a reference to that String, so that a
// member which replaces its argument (Logit) replaces the variable's
// text; any other variable is passed on by value, and the type library
// converts it into a temporary of the parameter's type, as it does for a
// constant.

#ifndef MORVANE_COM_SCRIPT_ARGUMENTS_H_
#define MORVANE_COM_SCRIPT_ARGUMENTS_H_

#include <oaidl.h>

#include <vector>

namespace morvane::com {

class ScriptArguments {
 public:
  // `params` may be null. The result refers to the caller's values and is
  // valid while they are.
  explicit ScriptArguments(DISPPARAMS* params);
  ScriptArguments(const ScriptArguments&) = delete;
  ScriptArguments& operator=(const ScriptArguments&) = delete;

  DISPPARAMS* Get() { return original_ == nullptr ? nullptr : &params_; }

 private:
  DISPPARAMS* const original_;
  std::vector<VARIANT> arguments_;
  DISPPARAMS params_{};
};

}  // namespace morvane::com

#endif  // MORVANE_COM_SCRIPT_ARGUMENTS_H_
