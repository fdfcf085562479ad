// SPDX-License-Identifier: MIT

// The cleanup of what a replacement of the account file cut off by a kill
// leaves behind. The replacement itself is platform::ReplaceFileAtomically,
// whose temporaries are named as platform::TemporaryNamePrefix says.

#ifndef WGSIM_SRC_ATOMIC_FILE_H_
#define WGSIM_SRC_ATOMIC_FILE_H_

#include <filesystem>
#include <vector>

namespace wgsim {

// Removes the temporaries of `path` that a process killed before the rename
// left behind, and returns their paths. Only regular files whose names
// platform::IsTemporaryNameOf accepts are touched: files of the
// administrator's such as `.accounts.txt.backup` stay. Raises
// std::system_error when the directory cannot be read.
std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path);

}  // namespace wgsim

#endif  // WGSIM_SRC_ATOMIC_FILE_H_
