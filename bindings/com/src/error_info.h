// SPDX-License-Identifier: MIT

// Errors as a script page sees them. A PlatformError becomes an automation
// error: the thread's error object holds its text, and the HRESULT carries
// its number in the form script engines read back as Err.Number (the
// control facility, as the run-time errors of script languages use).

#ifndef MORVANE_COM_ERROR_INFO_H_
#define MORVANE_COM_ERROR_INFO_H_

#include <windows.h>

#include <cstdint>
#include <string>

namespace morvane::com {

// The HRESULT whose Err.Number in a script is `number`.
HRESULT ErrorNumberResult(int32_t number);

// Sets the thread's error object (source `source`, description
// `description`, interface `iid`) and returns `result`.
HRESULT RaiseError(HRESULT result, const std::string& description, REFIID iid,
                   const wchar_t* source);

// Runs `body` and turns what it raises into an HRESULT with the thread's
// error object set: PlatformError with its number and text, memory
// exhaustion as E_OUTOFMEMORY, anything else as E_FAIL with its text. Returns
// S_OK when `body` returns.
template <class Body>
HRESULT Guarded(REFIID iid, const wchar_t* source, Body&& body);

}  // namespace morvane::com

#include "error_info_inl.h"

#endif  // MORVANE_COM_ERROR_INFO_H_
