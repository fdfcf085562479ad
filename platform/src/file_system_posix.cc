// SPDX-License-Identifier: MIT

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <vector>

#include "file_paths.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"

namespace platform {

const PathSyntax kPathSyntax = {"/", false};

namespace {

bool IsSearchableDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// The letters mkostemp puts in place of the X's that end a template.
constexpr std::string_view kUniqueLetters = "XXXXXX";
static_assert(kUniqueLetters.size() == kTemporaryNameLetters);

// The permission bits of a new file that nothing else decides.
constexpr mode_t kNewFileMode = 0644;

// A temporary file beside a target, removed when its owner goes unless it
// was moved into place first.
class TemporaryFile {
 public:
  // Creates the file, open for writing. Raises the file error naming
  // `target` when it cannot be created.
  explicit TemporaryFile(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    std::string pattern = (directory == "/" ? "" : directory) + "/" + TemporaryNamePrefix(target) +
                          std::string(kUniqueLetters);
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    file_.Reset(::mkostemp(name.data(), O_CLOEXEC));
    if (!file_) throw FileError(errno, target);
    path_ = name.data();
  }
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  int fd() const { return file_.get(); }
  const std::string& path() const { return path_; }
  // The file was moved into place: it is no longer ours to remove.
  void Release() { path_.clear(); }

 private:
  UniqueFd file_;
  std::string path_;
};

// Gives the temporary file of `target` its mode and bytes and brings them
// to the disk. Raises the file error naming `target`.
void FillTemporary(const TemporaryFile& temporary, std::string_view bytes, mode_t mode,
                   const std::string& target) {
  if (::fchmod(temporary.fd(), mode) != 0) throw FileError(errno, target);
  WriteAllAt(temporary.fd(), bytes, 0, target);
  if (::fsync(temporary.fd()) != 0) throw FileError(errno, target);
}

// A new or renamed entry reaches the disk only with its directory.
void FlushDirectoryOf(const std::string& path) {
  const UniqueFd directory(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) ::fsync(directory.get());
}

// The process's file mode creation mask, read without changing it (umask()
// would have to set it, racing with threads that create files).
mode_t CurrentUmask() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.starts_with("Umask:"))
      return static_cast<mode_t>(std::stoul(line.substr(6), nullptr, 8));
  }
  return 022;
}

// The reason given for a FIFO or a device.
constexpr const char* kNotARegularFileReason = "not a regular file";

NotARegularFileError NotARegularFile(const std::string& path, const char* reason) {
  return NotARegularFileError(kPathFileAccessError, path + " (" + reason + ")");
}

}  // namespace

bool FileExists(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool FileIsAbsent(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) == 0 || errno != ENOENT) return false;
  return IsSearchableDirectory(DirectoryOf(path));
}

UniqueFd OpenRegularFileIfPresent(const std::string& path, int flags) {
  UniqueFd file(::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
  if (!file) {
    const int reason = errno;
    if (reason == ENOENT && FileIsAbsent(path)) return file;
    // A FIFO without a reader refuses a writer this way.
    if (reason == ENXIO) throw NotARegularFile(path, kNotARegularFileReason);
    if (reason == EISDIR) throw NotARegularFile(path, std::strerror(EISDIR));
    throw FileError(reason, path);
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throw FileError(errno, path);
  if (S_ISDIR(info.st_mode)) throw NotARegularFile(path, std::strerror(EISDIR));
  if (!S_ISREG(info.st_mode)) throw NotARegularFile(path, kNotARegularFileReason);
  return file;
}

void WriteAllAt(int file, std::string_view bytes, off_t offset, const std::string& path) {
  while (!bytes.empty()) {
    const ssize_t written = ::pwrite(file, bytes.data(), bytes.size(), offset);
    if (written < 0 && errno == EINTR) continue;
    if (written < 0) throw FileError(errno, path);
    if (written == 0) throw PlatformError(kDeviceIOError, path + " (nothing written)");
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
}

size_t ReadAllAt(int file, char* buffer, size_t size, off_t offset, const std::string& path) {
  size_t held = 0;
  while (held < size) {
    const ssize_t got =
        ::pread(file, buffer + held, size - held, offset + static_cast<off_t>(held));
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw FileError(errno, path);
    if (got == 0) break;
    held += static_cast<size_t>(got);
  }
  return held;
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  TemporaryFile temporary(path);
  struct stat existing {};
  const mode_t mode = ::stat(path.c_str(), &existing) == 0 ? existing.st_mode & 07777
                                                           : kNewFileMode & ~CurrentUmask();
  FillTemporary(temporary, bytes, mode, path);
  if (::rename(temporary.path().c_str(), path.c_str()) != 0) throw FileError(errno, path);
  temporary.Release();
  FlushDirectoryOf(path);
}

void SyncToDisk(int file, const std::string& path) {
  if (::fsync(file) != 0) throw FileError(errno, path);
}

void AppendWhole(const std::string& path, std::string_view bytes) {
  const UniqueFd file(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644));
  if (!file) throw FileError(errno, path);
  ssize_t written;
  do {
    written = ::write(file.get(), bytes.data(), bytes.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) throw FileError(errno, path);
  if (static_cast<size_t>(written) != bytes.size()) {
    throw PlatformError(kDeviceIOError, path + " (written in part)");
  }
}

bool CreateFileWhole(const std::string& path, std::string_view bytes) {
  const TemporaryFile temporary(path);
  FillTemporary(temporary, bytes, kNewFileMode, path);
  // link(2), unlike rename(2), never replaces what another writer put at
  // the path in the meantime.
  if (::link(temporary.path().c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) return false;
    throw FileError(errno, path);
  }
  FlushDirectoryOf(path);
  return true;
}

}  // namespace platform
