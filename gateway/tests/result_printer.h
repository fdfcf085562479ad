// SPDX-License-Identifier: MIT

// Readable test failures: results printed as their four values instead of
// their bytes.

#ifndef GATEWAY_TESTS_RESULT_PRINTER_H_
#define GATEWAY_TESTS_RESULT_PRINTER_H_

#include <ostream>

#include "tessaly/morvane/records.h"

namespace morvane {

inline void PrintTo(const CommandReturn& result, std::ostream* out) {
  *out << "{" << result.error_object.number << ", \"" << result.error_object.description << "\", "
       << result.long_value << ", \"" << result.string_value << "\"}";
}

}  // namespace morvane

#endif  // GATEWAY_TESTS_RESULT_PRINTER_H_
