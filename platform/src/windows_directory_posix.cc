// SPDX-License-Identifier: MIT

#include <cstdlib>

#include "windows_directory_source.h"

namespace platform {

// This system has no Windows directory of its own: the environment
// variable WINDIR names it.
std::string ReportedWindowsDirectory() {
  const char* from_environment = std::getenv("WINDIR");
  return from_environment != nullptr ? from_environment : "";
}

}  // namespace platform
