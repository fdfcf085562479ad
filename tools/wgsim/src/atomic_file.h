// Replacing a file so that a reader, or a process killed at any moment,
// sees either the old content or the new one, never a mixture.

#ifndef WGSIM_SRC_ATOMIC_FILE_H_
#define WGSIM_SRC_ATOMIC_FILE_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace wgsim {

// Writes `content` to a new file beside `path`, flushes it to the disk,
// renames it over `path` and flushes the directory. The file keeps the
// permission bits of the file it replaces (0644 less the umask for a new
// one). Raises std::system_error naming the path when a step fails; the
// file at `path` is then untouched and the new file removed.
void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content);

// Removes the temporary files a ReplaceFileAtomically for `path` leaves
// behind when the process is killed before the rename, and returns their
// paths. Only names of exactly that pattern beside `path` are touched.
// Raises std::system_error when the directory cannot be read.
std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path);

// The whole content of the file at `path`. Raises std::system_error naming
// the path when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace wgsim

#endif  // WGSIM_SRC_ATOMIC_FILE_H_
