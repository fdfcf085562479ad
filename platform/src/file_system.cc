#include "platform/file_system.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/error.h"

namespace platform {
namespace {

// The directory part of `path` ("." when it has none).
std::string DirectoryOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

bool IsSearchableDirectory(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
         ::access(path.c_str(), X_OK) == 0;
}

// Removes the temporary file it names unless released first.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

PlatformError NotARegularFile(const std::string& path) {
  return PlatformError(kPathFileAccessError, path + " (not a regular file)");
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
    if (reason == ENXIO) throw NotARegularFile(path);
    throw FileError(reason, path);
  }
  struct stat info {};
  if (::fstat(file.get(), &info) != 0) throw FileError(errno, path);
  if (S_ISDIR(info.st_mode)) throw FileError(EISDIR, path);
  if (!S_ISREG(info.st_mode)) throw NotARegularFile(path);
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

bool CreateFileWhole(const std::string& path, std::string_view bytes) {
  std::string pattern = path + ".XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  UniqueFd file(::mkostemp(name.data(), O_CLOEXEC));
  if (!file) throw FileError(errno, path);
  const TemporaryFile temporary(name.data());
  if (::fchmod(file.get(), 0644) != 0) throw FileError(errno, path);
  WriteAllAt(file.get(), bytes, 0, path);
  if (::fsync(file.get()) != 0) throw FileError(errno, path);
  // link(2), unlike rename(2), never replaces what another writer put at
  // the path in the meantime.
  if (::link(temporary.path().c_str(), path.c_str()) != 0) {
    if (errno == EEXIST) return false;
    throw FileError(errno, path);
  }
  // The new name reaches the disk with its directory.
  const UniqueFd directory(::open(DirectoryOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory) ::fsync(directory.get());
  return true;
}

}  // namespace platform
