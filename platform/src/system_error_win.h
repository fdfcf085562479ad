// SPDX-License-Identifier: MIT

// Windows error codes (GetLastError, WSAGetLastError) as the platform's
// errors and texts.

#ifndef PLATFORM_SRC_SYSTEM_ERROR_WIN_H_
#define PLATFORM_SRC_SYSTEM_ERROR_WIN_H_

#include <cstdint>
#include <string>

#include "tessaly/platform/error.h"

namespace platform {

// The system's own text for the error code `code`, without its final line
// end, or "error <code>" when the system has none.
std::string SystemErrorText(uint32_t code);

// The file error that matches a Windows error code of a failed open, read,
// write or program start (70 for a denied access, a file another process
// holds or a file that is no program, 53 for a missing file, 76 for a
// missing directory, 57 otherwise), with the path and the system's text as
// detail: the counterpart of FileError.
PlatformError FileErrorFromCode(uint32_t code, const std::string& path);

// FileErrorFromCode for the calling thread's last error.
PlatformError LastFileError(const std::string& path);

}  // namespace platform

#endif  // PLATFORM_SRC_SYSTEM_ERROR_WIN_H_
