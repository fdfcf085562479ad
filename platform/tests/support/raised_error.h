// SPDX-License-Identifier: MIT

// The run-time error a call raises, for tests that expect one.

#ifndef PLATFORM_TESTS_SUPPORT_RAISED_ERROR_H_
#define PLATFORM_TESTS_SUPPORT_RAISED_ERROR_H_

#include <cstdint>

#include "tessaly/platform/error.h"

namespace testing_support {

// The number of the PlatformError `call` raises, or 0 when it raises none.
template <class Call>
int32_t RaisedError(Call&& call) {
  try {
    call();
  } catch (const platform::PlatformError& error) {
    return error.number();
  }
  return 0;
}

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_RAISED_ERROR_H_
