#include "platform/windows_directory.h"

#include <cstdlib>

namespace platform {

const char* BuiltInWindowsDirectory() { return TESSALY_DEFAULT_WINDIR; }

std::string WindowsDirectory() {
  const char* from_environment = std::getenv("WINDIR");
  std::string directory = (from_environment != nullptr && *from_environment != '\0')
                              ? from_environment
                              : BuiltInWindowsDirectory();
  directory.erase(directory.find_last_not_of(' ') + 1);
  return directory;
}

}  // namespace platform
