// SPDX-License-Identifier: MIT

// For tests: whether a saved property equals its default, the comparison a
// bag may use to leave such a value out (property_bag.h). Not installed,
// and not part of the platform library: tests link it from the static
// library platform_testing.

#ifndef TESSALY_PLATFORM_TESTING_EQUALS_DEFAULT_H_
#define TESSALY_PLATFORM_TESTING_EQUALS_DEFAULT_H_

#include "tessaly/platform/variant.h"

namespace platform {

// True when `value` equals `default_value` once the default is converted to
// the value's type (so the Long 1 equals the Boolean true). Never raises.
bool EqualsDefault(const Variant& value, const Variant& default_value);

}  // namespace platform

#endif  // TESSALY_PLATFORM_TESTING_EQUALS_DEFAULT_H_
