// The Windows directory: the directory that holds the system's settings
// files, such as morvane.ini.
//
// It is the value of the environment variable WINDIR when that is set and
// holds more than spaces, otherwise a directory fixed when the platform was built (by
// default /etc). Trailing spaces are removed.

#ifndef PLATFORM_WINDOWS_DIRECTORY_H_
#define PLATFORM_WINDOWS_DIRECTORY_H_

#include <string>

namespace platform {

// The Windows directory, without a trailing separator added or removed
// (only trailing spaces go). Read afresh on every call.
std::string WindowsDirectory();

// The directory used when WINDIR is unset, empty or all spaces.
const char* BuiltInWindowsDirectory();

}  // namespace platform

#endif  // PLATFORM_WINDOWS_DIRECTORY_H_
