// SPDX-License-Identifier: MIT

// The parts of a file path, as the file operations of each system need
// them. The separators are the one fact that differs between the systems.

#ifndef PLATFORM_SRC_FILE_PATHS_H_
#define PLATFORM_SRC_FILE_PATHS_H_

#include <string>

namespace platform {

// The characters that end a directory in a path: "/" on POSIX systems, "/"
// and "\" on Windows, which also knows drive letters ("C:\").
struct PathSyntax {
  const char* separators;
  bool drive_letters;
};
extern const PathSyntax kPathSyntax;

// The directory part of `path` ("." when it has none; the root, or the
// root of a drive, kept whole).
std::string DirectoryOf(const std::string& path);

// The file name part of `path`.
std::string FileNameOf(const std::string& path);

}  // namespace platform

#endif  // PLATFORM_SRC_FILE_PATHS_H_
