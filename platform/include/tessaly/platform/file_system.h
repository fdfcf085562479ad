// SPDX-License-Identifier: MIT

// The file operations the system needs beyond the standard library. Every
// open here is made without blocking: a FIFO or a device where a file is
// expected is refused at once instead of holding the caller for ever.
//
// A file is an int descriptor on every system (on Windows a C run-time
// descriptor over the file's handle); `flags` are O_RDONLY or O_WRONLY from
// <fcntl.h>. On Windows files are opened sharing reading, writing and
// deletion with other processes, and a positioned read or write holds a
// lock on its range of bytes while it runs, so that a reader never sees a
// record that another process is half way through writing.

#ifndef TESSALY_PLATFORM_FILE_SYSTEM_H_
#define TESSALY_PLATFORM_FILE_SYSTEM_H_

#include <fcntl.h>
#include <sys/types.h>

#include <cstddef>
#include <limits>
#include <string>
#include <string_view>

#include "tessaly/platform/error.h"
#include "tessaly/platform/export.h"
#include "tessaly/platform/unique_fd.h"

namespace platform {

// True when a file (not a directory) exists at `path`. Never raises.
PLATFORM_EXPORT bool FileExists(const std::string& path);

// True only when `path` is plainly absent: nothing at all is there (not
// even a dangling link) and its directory exists and can be searched.
// Anything else that would stop a read (a missing or unsearchable
// directory, a link loop) is not absence. Never raises.
PLATFORM_EXPORT bool FileIsAbsent(const std::string& path);

// What a file operation raises when something other than a regular file
// (a directory, a FIFO, a device) stands at its path: 75, "Path/File
// access error", with the path and the reason. Such a thing is never read
// or written.
class PLATFORM_EXPORT NotARegularFileError : public PlatformError {
 public:
  using PlatformError::PlatformError;
};

// Opens the regular file at `path` with `flags` (O_RDONLY or O_WRONLY, no
// O_CREAT) without blocking. Returns an invalid descriptor when the file is
// absent as FileIsAbsent defines it. Raises a file PlatformError naming the
// path for anything else that stops it: no permission, a dangling link, a
// link loop; NotARegularFileError for a directory, a FIFO, a device.
PLATFORM_EXPORT UniqueFd OpenRegularFileIfPresent(const std::string& path, int flags);

// The whole content of the regular file at `path`, opened without
// blocking. Raises a file PlatformError naming the path when it cannot be
// read (53 when nothing is there), when it is no regular file (see
// NotARegularFileError), or when it holds more than `max_bytes` bytes (75);
// the read then stops at that size instead of taking the memory.
PLATFORM_EXPORT std::string ReadWholeFile(const std::string& path,
                                          size_t max_bytes = std::numeric_limits<size_t>::max());

// Reads from `offset` of the open file `file` into `buffer` until it is
// full or the file ends, going on after short reads, and returns the number
// of bytes read. Raises a file PlatformError naming `path` when a read
// fails.
PLATFORM_EXPORT size_t ReadAllAt(int file, char* buffer, size_t size, off_t offset,
                                 const std::string& path);

// Writes all of `bytes` at `offset` of the open file `file`, going on after
// short writes. Raises a file PlatformError naming `path` when a write
// fails.
PLATFORM_EXPORT void WriteAllAt(int file, std::string_view bytes, off_t offset,
                                const std::string& path);

// Brings what was written to the open file `file` to the disk. Raises a
// file PlatformError naming `path` when that fails.
PLATFORM_EXPORT void SyncToDisk(int file, const std::string& path);

// Appends `bytes` to the file at `path`, creating it when missing, in one
// write, so that records appended by several writers at once never
// interleave. Raises a file PlatformError naming `path` when the file
// cannot be opened or written, 57 when only a part was written.
PLATFORM_EXPORT void AppendWhole(const std::string& path, std::string_view bytes);

// Replaces the file at `path` with one holding `bytes`, so that a reader,
// or a process killed at any moment, sees either the old content or the
// new one, never a mixture: the bytes go to a temporary file beside it
// (see TemporaryNamePrefix), which reaches the disk and is renamed over
// `path`; the directory is flushed too. On POSIX systems the file keeps
// the permission bits of the file it replaces (0644 less the umask for a
// new one). Raises a
// file PlatformError naming `path` and the reason when a step fails; the
// file at `path` is then untouched and the temporary file removed.
PLATFORM_EXPORT void ReplaceFileAtomically(const std::string& path, std::string_view bytes);

// The temporary files of ReplaceFileAtomically and CreateFileWhole for
// `path` lie in its directory and are named this prefix (a dot, the file
// name of `path` and ".tessaly-") followed by kTemporaryNameLetters unique
// ASCII letters or digits. A process killed part way can leave one behind;
// an owner that wants them gone removes, at its next start, what
// IsTemporaryNameOf accepts, and nothing else: the fixed infix keeps the
// administrator's own files, such as ".accounts.txt.backup", out of it.
PLATFORM_EXPORT std::string TemporaryNamePrefix(const std::string& path);
inline constexpr size_t kTemporaryNameLetters = 6;

// Whether `name`, a file name without its directory, can be one of the
// temporary files made for `path`.
PLATFORM_EXPORT bool IsTemporaryNameOf(std::string_view name, const std::string& path);

// Creates the file `path` holding `bytes`, all or nothing: the bytes go to
// a temporary file in the same directory, which reaches the disk and is
// then linked into place only if no file has appeared at `path` meanwhile.
// A failure part way leaves no file at `path` and no temporary file behind.
// Returns false, writing nothing, when a file (or anything else) is already
// at `path`. Raises a file PlatformError naming `path` and the reason when
// the file cannot be created.
PLATFORM_EXPORT bool CreateFileWhole(const std::string& path, std::string_view bytes);

}  // namespace platform

#endif  // TESSALY_PLATFORM_FILE_SYSTEM_H_
