// SPDX-License-Identifier: MIT

// The Windows directory: the directory that holds the system's settings
// files, such as morvane.ini.
//
// It is the value of the environment variable WINDIR when that is set and
// holds more than spaces, otherwise a directory fixed when the platform was built (by
// default /etc). Trailing spaces are removed.

#ifndef TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_
#define TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_

#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// The Windows directory, without a trailing separator added or removed
// (only trailing spaces go). Read afresh on every call.
PLATFORM_EXPORT std::string WindowsDirectory();

// The directory used when WINDIR is unset, empty or all spaces.
PLATFORM_EXPORT const char* BuiltInWindowsDirectory();

}  // namespace platform

#endif  // TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_
