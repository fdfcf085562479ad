// The few file operations the system needs beyond the standard library.

#ifndef PLATFORM_FILE_SYSTEM_H_
#define PLATFORM_FILE_SYSTEM_H_

#include <string>

#include "platform/export.h"

namespace platform {

// True when a file (not a directory) exists at `path`. Never raises.
PLATFORM_EXPORT bool FileExists(const std::string& path);

}  // namespace platform

#endif  // PLATFORM_FILE_SYSTEM_H_
