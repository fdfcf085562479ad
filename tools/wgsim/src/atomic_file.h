// SPDX-License-Identifier: MIT

// What the simulator adds to the platform's atomic file replacement: the
// cleanup of temporary files that a replacement cut off by a kill left
// behind.

#ifndef WGSIM_SRC_ATOMIC_FILE_H_
#define WGSIM_SRC_ATOMIC_FILE_H_

#include <filesystem>
#include <vector>

namespace wgsim {

// Removes the temporary files a platform::ReplaceFileAtomically for `path`
// leaves behind when the process is killed before the rename, and returns
// their paths. Only names of exactly that pattern beside `path` are
// touched. Raises std::system_error when the directory cannot be read.
std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path);

}  // namespace wgsim

#endif  // WGSIM_SRC_ATOMIC_FILE_H_
