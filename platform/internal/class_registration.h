// SPDX-License-Identifier: MIT

// For tests: looking at and removing the registrations of the class table
// (component.h), so that a test can put a stand-in class in the place of a
// registered one and restore it afterwards. Not installed: a program
// registers its classes and leaves the table alone. Exported all the same:
// the table lives in the library, and tests outside it use these.

#ifndef PLATFORM_INTERNAL_CLASS_REGISTRATION_H_
#define PLATFORM_INTERNAL_CLASS_REGISTRATION_H_

#include <string_view>

#include "tessaly/platform/component.h"
#include "tessaly/platform/export.h"

namespace platform {

// Removes the registration of `progid`, if any. Thread-safe.
PLATFORM_EXPORT void UnregisterClass(std::string_view progid);

// The factory registered under `progid`, or an empty one. Lets a caller
// put back a registration it replaces. Thread-safe.
PLATFORM_EXPORT ComponentFactory ClassFactory(std::string_view progid);

}  // namespace platform

#endif  // PLATFORM_INTERNAL_CLASS_REGISTRATION_H_
