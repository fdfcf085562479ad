// SPDX-License-Identifier: MIT

// The template part of error_info.h.

#ifndef MORVANE_COM_ERROR_INFO_INL_H_
#define MORVANE_COM_ERROR_INFO_INL_H_

#include <exception>
#include <new>

#include "tessaly/platform/error.h"

namespace morvane::com {

template <class Body>
HRESULT Guarded(REFIID iid, const wchar_t* source, Body&& body) {
  try {
    body();
    SetErrorInfo(0, nullptr);  // no stale error from an earlier call
    return S_OK;
  } catch (const platform::PlatformError& error) {
    return RaiseError(ErrorNumberResult(error.number()), error.description(), iid, source);
  } catch (const std::bad_alloc&) {
    return RaiseError(E_OUTOFMEMORY, "Out of memory", iid, source);
  } catch (const std::exception& error) {
    return RaiseError(E_FAIL, error.what(), iid, source);
  }
}

}  // namespace morvane::com

#endif  // MORVANE_COM_ERROR_INFO_INL_H_
