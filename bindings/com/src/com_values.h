// SPDX-License-Identifier: MIT

// Values between the automation types of _WG and the gateway's Variants:
// arguments in, results and replaced arguments out.

#ifndef MORVANE_COM_COM_VALUES_H_
#define MORVANE_COM_COM_VALUES_H_

#include "morvane.h"
#include "tessaly/platform/variant.h"

namespace morvane::com {

// An argument as the gateway takes it; a null pointer is an empty value of
// the parameter's type.
platform::Variant FromCom(const BSTR* value);
platform::Variant FromCom(const LONG* value);
platform::Variant FromCom(const short* value);

// Stores a member's result. Raises PlatformError 13 when the value does
// not have the result's type.
void StoreResult(const platform::Variant& value, LONG* result);
void StoreResult(const platform::Variant& value, BSTR* result);
void StoreResult(const platform::Variant& value, ::CommandReturn* result);
void StoreResult(const platform::Variant& value, IDispatch** result);

// Writes a replaced argument back into the caller's storage.
void WriteBack(const platform::Variant& value, BSTR* argument);
void WriteBack(const platform::Variant& value, LONG* argument);
void WriteBack(const platform::Variant& value, short* argument);

}  // namespace morvane::com

#endif  // MORVANE_COM_COM_VALUES_H_
