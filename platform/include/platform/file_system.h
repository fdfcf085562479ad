// The file operations the system needs beyond the standard library. Every
// open here is made without blocking: a FIFO or a device where a file is
// expected is refused at once instead of holding the caller for ever.

#ifndef PLATFORM_FILE_SYSTEM_H_
#define PLATFORM_FILE_SYSTEM_H_

#include <sys/types.h>

#include <string>
#include <string_view>

#include "platform/unique_fd.h"

#include "platform/export.h"

namespace platform {

// True when a file (not a directory) exists at `path`. Never raises.
PLATFORM_EXPORT bool FileExists(const std::string& path);

// True only when `path` is plainly absent: nothing at all is there (not
// even a dangling link) and its directory exists and can be searched.
// Anything else that would stop a read (a missing or unsearchable
// directory, a link loop) is not absence. Never raises.
PLATFORM_EXPORT bool FileIsAbsent(const std::string& path);

// Opens the regular file at `path` with `flags` (O_RDONLY or O_WRONLY, no
// O_CREAT) without blocking. Returns an invalid descriptor when the file is
// absent as FileIsAbsent defines it. Raises a file PlatformError naming the
// path for anything else that stops it: no permission, a dangling link, a
// link loop, a directory, a FIFO, a device.
PLATFORM_EXPORT UniqueFd OpenRegularFileIfPresent(const std::string& path, int flags);

// Writes all of `bytes` at `offset` of the open file `file`, going on after
// short writes. Raises a file PlatformError naming `path` when a write
// fails.
PLATFORM_EXPORT void WriteAllAt(int file, std::string_view bytes, off_t offset, const std::string& path);

// Creates the file `path` holding `bytes`, all or nothing: the bytes go to
// a temporary file in the same directory, which reaches the disk and is
// then linked into place only if no file has appeared at `path` meanwhile.
// A failure part way leaves no file at `path` and no temporary file behind.
// Returns false, writing nothing, when a file (or anything else) is already
// at `path`. Raises a file PlatformError naming `path` and the reason when
// the file cannot be created.
PLATFORM_EXPORT bool CreateFileWhole(const std::string& path, std::string_view bytes);

}  // namespace platform

#endif  // PLATFORM_FILE_SYSTEM_H_
