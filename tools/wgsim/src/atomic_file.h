// SPDX-License-Identifier: MIT

// How the simulator replaces its account file, and the cleanup of what a
// replacement cut off by a kill leaves behind.
//
// The new content goes to a temporary file beside the account file, named
// `.NAME.wgsim-` and six letters or digits that mkostemp makes unique
// (NAME is the account file's name), reaches the disk and is renamed over
// the file. The fixed `wgsim-` marks the temporary as the simulator's own:
// the cleanup at start removes nothing else, so files of the
// administrator's such as `.accounts.txt.backup` stay.

#ifndef WGSIM_SRC_ATOMIC_FILE_H_
#define WGSIM_SRC_ATOMIC_FILE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wgsim {

// The file name of the temporaries of `path`, less the six unique
// characters that follow it: ".NAME.wgsim-".
std::string TemporaryNamePrefix(const std::filesystem::path& path);

// Whether `name` (a file name without its directory) can be one of the
// temporaries ReplaceFileAtomically makes for `path`.
bool IsTemporaryNameOf(std::string_view name, const std::filesystem::path& path);

// Replaces the file at `path` with one holding `bytes`, so that a reader,
// or a process killed at any moment, sees the old content or the new one,
// never a mixture; the directory is flushed too. The file keeps its
// permission bits (one that has vanished meanwhile comes back readable by
// its owner only). Raises a file platform::PlatformError naming `path` and
// the reason when a step fails; the file is then untouched and the
// temporary removed.
void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes);

// Removes the temporaries of `path` that a process killed before the rename
// left behind, and returns their paths. Only regular files whose names
// IsTemporaryNameOf accepts are touched. Raises std::system_error when the
// directory cannot be read.
std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path);

}  // namespace wgsim

#endif  // WGSIM_SRC_ATOMIC_FILE_H_
