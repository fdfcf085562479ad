// SPDX-License-Identifier: MIT

#include <windows.h>

#include "windows_directory_source.h"

namespace platform {

// The directory text up to the terminating NUL, asked for with a buffer of
// 255 characters as the settings readers always did. A longer directory
// does not fit and counts as none.
std::string ReportedWindowsDirectory() {
  constexpr UINT kBufferCharacters = 255;
  char buffer[kBufferCharacters];
  const UINT length = ::GetWindowsDirectoryA(buffer, kBufferCharacters);
  if (length == 0 || length >= kBufferCharacters) return {};
  return std::string(buffer, length);
}

}  // namespace platform
