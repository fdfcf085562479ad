// SPDX-License-Identifier: MIT

#include "tessaly/platform/windows_directory.h"

#include <string_view>

#include "windows_directory_source.h"

namespace platform {

const char* BuiltInWindowsDirectory() { return TESSALY_DEFAULT_WINDIR; }

std::string WindowsDirectory() {
  const std::string reported = ReportedWindowsDirectory();
  std::string_view directory = reported;
  directory = directory.substr(0, directory.find_last_not_of(' ') + 1);
  // A directory of blanks only counts as none: it must never turn the path
  // into "/morvane.ini" at the root.
  if (directory.empty()) directory = BuiltInWindowsDirectory();
  // Callers append a file name: room for one, so that doing so does not
  // allocate again.
  constexpr size_t kRoomForFileName = 32;
  std::string result;
  result.reserve(directory.size() + kRoomForFileName);
  result.append(directory);
  return result;
}

}  // namespace platform
