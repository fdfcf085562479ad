// SPDX-License-Identifier: MIT

// The file operations that read alike on every system, built on the
// system's own in file_system_posix.cc or file_system_win.cc.

#include "tessaly/platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstddef>

#include "file_paths.h"

namespace platform {
namespace {

// Read in pieces of this size, so a large file costs no large buffer.
constexpr size_t kReadChunk = 16 * 1024;

}  // namespace

std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSyntax.separators);
  if (slash == std::string::npos) return ".";
  const bool drive_root = kPathSyntax.drive_letters && slash == 2 && path[1] == ':';
  if (slash == 0 || drive_root) return path.substr(0, slash + 1);
  return path.substr(0, slash);
}

std::string FileNameOf(const std::string& path) {
  const size_t slash = path.find_last_of(kPathSyntax.separators);
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string TemporaryNamePrefix(const std::string& path) {
  return "." + FileNameOf(path) + ".tessaly-";
}

bool IsTemporaryNameOf(std::string_view name, const std::string& path) {
  const std::string prefix = TemporaryNamePrefix(path);
  if (name.size() != prefix.size() + kTemporaryNameLetters || !name.starts_with(prefix)) {
    return false;
  }
  return std::all_of(
      name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
      });
}

std::string ReadWholeFile(const std::string& path, size_t max_bytes) {
  const UniqueFd file = OpenRegularFileIfPresent(path, O_RDONLY);
  if (!file) throw FileError(ENOENT, path);
  std::string content;
  char chunk[kReadChunk];
  for (;;) {
    const size_t got =
        ReadAllAt(file.get(), chunk, sizeof chunk, static_cast<off_t>(content.size()), path);
    if (got > max_bytes - content.size()) {
      throw PlatformError(kPathFileAccessError,
                          path + " (larger than " + std::to_string(max_bytes) + " bytes)");
    }
    content.append(chunk, got);
    if (got < sizeof chunk) return content;
  }
}

}  // namespace platform
