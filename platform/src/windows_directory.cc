#include "platform/windows_directory.h"

#include <cstdlib>

namespace platform {

const char* BuiltInWindowsDirectory() { return TESSALY_DEFAULT_WINDIR; }

std::string WindowsDirectory() {
  const char* from_environment = std::getenv("WINDIR");
  std::string directory = from_environment != nullptr ? from_environment : "";
  directory.erase(directory.find_last_not_of(' ') + 1);
  // A WINDIR of blanks only counts as unset: it must never turn the path
  // into "/morvane.ini" at the root.
  if (directory.empty()) directory = BuiltInWindowsDirectory();
  return directory;
}

}  // namespace platform
