// SPDX-License-Identifier: MIT

// The Windows directory: the directory that holds the system's settings
// files, such as morvane.ini.
//
// On Windows it is the directory that GetWindowsDirectoryA reports. Other
// systems have none: there it is the value of the environment variable
// WINDIR. When that holds nothing but spaces, or is unset, it is a
// directory fixed when the platform was built (by default /etc, on Windows
// C:/Windows). Trailing spaces are removed.

#ifndef TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_
#define TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_

#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// The Windows directory, without a trailing separator added or removed
// (only trailing spaces go). Read afresh on every call.
PLATFORM_EXPORT std::string WindowsDirectory();

// The directory used when the system reports none (WINDIR unset, empty or
// all spaces).
PLATFORM_EXPORT const char* BuiltInWindowsDirectory();

}  // namespace platform

#endif  // TESSALY_PLATFORM_WINDOWS_DIRECTORY_H_
