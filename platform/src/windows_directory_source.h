// SPDX-License-Identifier: MIT

// Where this system keeps the Windows directory: the one call that differs
// between the systems behind windows_directory.h.

#ifndef PLATFORM_SRC_WINDOWS_DIRECTORY_SOURCE_H_
#define PLATFORM_SRC_WINDOWS_DIRECTORY_SOURCE_H_

#include <string>

namespace platform {

// The Windows directory as the system reports it, untrimmed; empty when it
// reports none.
std::string ReportedWindowsDirectory();

}  // namespace platform

#endif  // PLATFORM_SRC_WINDOWS_DIRECTORY_SOURCE_H_
