// SPDX-License-Identifier: MIT

// Starting another program.

#ifndef TESSALY_PLATFORM_PROGRAM_START_H_
#define TESSALY_PLATFORM_PROGRAM_START_H_

#include <string>

#include "tessaly/platform/export.h"

namespace platform {

// Starts the program file at `path` as a process of its own, with the
// path as its only argument and this process's environment, and returns
// without waiting for it (the process is reaped in the background when it
// ends). The path is used as given: no search along PATH, no splitting at
// blanks. Raises the file error of the failed start (PlatformError 53 for
// a missing file, 70 for one that may not be run, and so on).
PLATFORM_EXPORT void StartProgram(const std::string& path);

}  // namespace platform

#endif  // TESSALY_PLATFORM_PROGRAM_START_H_
