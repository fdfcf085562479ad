// Replacing a file so that a reader, or a process killed at any moment,
// sees either the old content or the new one, never a mixture.

#ifndef WGSIM_SRC_ATOMIC_FILE_H_
#define WGSIM_SRC_ATOMIC_FILE_H_

#include <filesystem>
#include <string>
#include <string_view>

namespace wgsim {

// Writes `content` to a new file beside `path`, flushes it to the disk,
// renames it over `path` and flushes the directory. The file keeps the
// permission bits of the file it replaces (0644 less the umask for a new
// one). Raises std::system_error naming the path when a step fails; the
// file at `path` is then untouched and the new file removed.
void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view content);

// The whole content of the file at `path`. Raises std::system_error naming
// the path when it cannot be read.
std::string ReadWholeFile(const std::filesystem::path& path);

}  // namespace wgsim

#endif  // WGSIM_SRC_ATOMIC_FILE_H_
