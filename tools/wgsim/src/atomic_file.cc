// SPDX-License-Identifier: MIT

#include "atomic_file.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/unique_fd.h"

namespace wgsim {
namespace {

// What marks a temporary as the simulator's own.
constexpr std::string_view kTemporaryInfix = "wgsim-";
// The template mkostemp fills in, and the characters it fills it with.
constexpr std::string_view kUniqueTemplate = "XXXXXX";
constexpr std::string_view kUniqueCharacters =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

std::filesystem::path DirectoryOf(const std::filesystem::path& path) {
  return path.parent_path().empty() ? std::filesystem::path(".") : path.parent_path();
}

// The temporary file of one replacement: removed when it goes out of
// scope unless it was renamed into place.
class Temporary {
 public:
  explicit Temporary(const std::filesystem::path& target)
      : path_((DirectoryOf(target) / TemporaryNamePrefix(target)).string() +
              std::string(kUniqueTemplate)),
        file_(::mkostemp(path_.data(), O_CLOEXEC)) {
    if (!file_) throw platform::FileError(errno, target.string());
  }
  ~Temporary() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  Temporary(const Temporary&) = delete;
  Temporary& operator=(const Temporary&) = delete;

  int fd() const { return file_.get(); }
  const std::string& path() const { return path_; }
  void Renamed() { path_.clear(); }

 private:
  std::string path_;  // mkostemp writes the unique characters into it
  platform::UniqueFd file_;
};

}  // namespace

std::string TemporaryNamePrefix(const std::filesystem::path& path) {
  return "." + path.filename().string() + "." + std::string(kTemporaryInfix);
}

bool IsTemporaryNameOf(std::string_view name, const std::filesystem::path& path) {
  const std::string prefix = TemporaryNamePrefix(path);
  if (name.size() != prefix.size() + kUniqueTemplate.size() || !name.starts_with(prefix)) {
    return false;
  }
  return std::all_of(name.begin() + static_cast<std::ptrdiff_t>(prefix.size()), name.end(),
                     [](char c) { return kUniqueCharacters.find(c) != std::string_view::npos; });
}

void ReplaceFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  const std::string target = path.string();
  Temporary temporary(path);
  struct stat existing {};
  if (::stat(target.c_str(), &existing) == 0 &&
      ::fchmod(temporary.fd(), existing.st_mode & 07777) != 0) {
    throw platform::FileError(errno, target);
  }
  platform::WriteAllAt(temporary.fd(), bytes, 0, target);
  if (::fsync(temporary.fd()) != 0) throw platform::FileError(errno, target);
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) {
    throw platform::FileError(errno, target);
  }
  temporary.Renamed();
  // The renamed entry reaches the disk with its directory.
  const platform::UniqueFd directory(
      ::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) ::fsync(directory.get());
}

std::vector<std::filesystem::path> RemoveLeftoverTemporaries(const std::filesystem::path& path) {
  std::vector<std::filesystem::path> removed;
  for (const auto& entry : std::filesystem::directory_iterator(DirectoryOf(path))) {
    if (!IsTemporaryNameOf(entry.path().filename().string(), path) || !entry.is_regular_file()) {
      continue;
    }
    std::error_code ignored;
    if (std::filesystem::remove(entry.path(), ignored)) removed.push_back(entry.path());
  }
  return removed;
}

}  // namespace wgsim
