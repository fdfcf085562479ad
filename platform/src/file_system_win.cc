// SPDX-License-Identifier: MIT

// The file operations on Win32 files. Descriptors are C run-time
// descriptors over the files' handles, so that UniqueFd owns them as it does
// elsewhere.

#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "file_paths.h"
#include "system_error_win.h"
#include "tessaly/platform/file_system.h"
#include "unique_handle_win.h"

namespace platform {

const PathSyntax kPathSyntax = {"/\\", true};

namespace {

// Every file is shared with every other process for reading, writing and
// deleting: the settings tool may rewrite a file that a web server reads,
// and a file held open for reading must not stop a replacement.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The byte whose lock appenders take (see AppendWhole): the last one a
// lock can name (offsets are signed to the system).
constexpr uint64_t kAppendLockOffset = INT64_MAX - 1;

// Attempts at a free temporary name before giving up.
constexpr int kTemporaryNameAttempts = 100;

// The handle under the descriptor `file`. Raises a file error naming
// `path` for a descriptor that holds none.
HANDLE HandleOf(int file, const std::string& path) {
  const intptr_t handle = ::_get_osfhandle(file);
  if (handle == -1) throw FileErrorFromCode(ERROR_INVALID_HANDLE, path);
  return reinterpret_cast<HANDLE>(handle);
}

// `handle` as a descriptor that owns it. Raises a file error naming `path`
// when no descriptor is free.
UniqueFd AsDescriptor(UniqueHandle handle, int flags, const std::string& path) {
  const int fd = ::_open_osfhandle(reinterpret_cast<intptr_t>(handle.get()), flags);
  if (fd < 0) throw FileError(errno, path);
  handle.Release();
  return UniqueFd(fd);
}

OVERLAPPED AtOffset(uint64_t offset) {
  OVERLAPPED position{};
  position.Offset = static_cast<DWORD>(offset);
  position.OffsetHigh = static_cast<DWORD>(offset >> 32);
  return position;
}

// A lock on a range of bytes of an open file, held while a positioned read
// (shared) or write (exclusive) runs, and given back when it goes. Other
// processes' reads and writes of the range wait for it: Windows locks are
// binding on everyone, not only on those who lock too.
class RangeLock {
 public:
  RangeLock(HANDLE file, uint64_t offset, size_t size, bool exclusive, const std::string& path)
      : file_(file), offset_(offset), size_(size) {
    if (size_ == 0) return;
    OVERLAPPED position = AtOffset(offset_);
    if (!::LockFileEx(file_, exclusive ? LOCKFILE_EXCLUSIVE_LOCK : 0, 0, Low(), High(),
                      &position)) {
      throw LastFileError(path);
    }
  }
  ~RangeLock() {
    if (size_ == 0) return;
    OVERLAPPED position = AtOffset(offset_);
    ::UnlockFileEx(file_, 0, Low(), High(), &position);
  }
  RangeLock(const RangeLock&) = delete;
  RangeLock& operator=(const RangeLock&) = delete;

 private:
  DWORD Low() const { return static_cast<DWORD>(size_); }
  DWORD High() const { return static_cast<DWORD>(static_cast<uint64_t>(size_) >> 32); }

  const HANDLE file_;
  const uint64_t offset_;
  const size_t size_;
};

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// The reason given for a directory, a pipe or a device.
NotARegularFileError NotARegularFile(const std::string& path, const char* reason) {
  return NotARegularFileError(kPathFileAccessError, path + " (" + reason + ")");
}
constexpr const char* kNotARegularFileReason = "not a regular file";

// A temporary file beside a target, removed when its owner goes unless it
// was moved into place first.
class TemporaryFile {
 public:
  // Creates the file, open for writing. Raises the file error naming
  // `target` when it cannot be created.
  explicit TemporaryFile(const std::string& target) {
    const std::string directory = DirectoryOf(target);
    const bool ends_in_separator = std::strchr(kPathSyntax.separators, directory.back()) != nullptr;
    const std::string stem =
        directory + (ends_in_separator ? "" : "\\") + TemporaryNamePrefix(target);
    constexpr std::string_view kLetters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device seed;
    std::mt19937 random(seed());
    std::uniform_int_distribution<size_t> pick(0, kLetters.size() - 1);
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
      std::string name = stem;
      for (size_t i = 0; i < kTemporaryNameLetters; ++i) name += kLetters[pick(random)];
      UniqueHandle handle(::CreateFileA(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
      if (handle) {
        file_ = AsDescriptor(std::move(handle), O_RDWR, target);
        path_ = name;
        return;
      }
      if (::GetLastError() != ERROR_FILE_EXISTS) throw LastFileError(target);
    }
    throw FileErrorFromCode(ERROR_FILE_EXISTS, target);
  }
  ~TemporaryFile() {
    file_.Reset();
    if (!path_.empty()) ::DeleteFileA(path_.c_str());
  }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

  // Writes `bytes`, brings them to the disk and closes the file, which a
  // rename needs. Raises the file error naming `target`.
  void Fill(std::string_view bytes, const std::string& target) {
    WriteAllAt(file_.get(), bytes, 0, target);
    SyncToDisk(file_.get(), target);
    file_.Reset();
  }
  const std::string& path() const { return path_; }
  // The file was moved into place: it is no longer ours to remove.
  void Release() { path_.clear(); }

 private:
  UniqueFd file_;
  std::string path_;
};

}  // namespace

bool FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool FileIsAbsent(const std::string& path) {
  if (::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return false;
  if (::GetLastError() != ERROR_FILE_NOT_FOUND) return false;
  return IsDirectory(DirectoryOf(path));
}

UniqueFd OpenRegularFileIfPresent(const std::string& path, int flags) {
  if (IsDirectory(path)) throw NotARegularFile(path, std::strerror(EISDIR));
  const int access_mode = flags & (O_WRONLY | O_RDWR);
  const DWORD access = access_mode == O_WRONLY ? GENERIC_WRITE
                       : access_mode == O_RDWR ? GENERIC_READ | GENERIC_WRITE
                                               : GENERIC_READ;
  UniqueHandle file(::CreateFileA(path.c_str(), access, kShareAll, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD reason = ::GetLastError();
    if (reason == ERROR_FILE_NOT_FOUND && FileIsAbsent(path)) return {};
    throw FileErrorFromCode(reason, path);
  }
  if (::GetFileType(file.get()) != FILE_TYPE_DISK) {
    throw NotARegularFile(path, kNotARegularFileReason);
  }
  return AsDescriptor(std::move(file), access_mode, path);
}

size_t ReadAllAt(int file, char* buffer, size_t size, off_t offset, const std::string& path) {
  const HANDLE handle = HandleOf(file, path);
  const auto start = static_cast<uint64_t>(offset);
  const RangeLock lock(handle, start, size, false, path);
  size_t held = 0;
  while (held < size) {
    OVERLAPPED position = AtOffset(start + held);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size - held, MAXDWORD));
    DWORD got = 0;
    if (!::ReadFile(handle, buffer + held, want, &got, &position)) {
      if (::GetLastError() == ERROR_HANDLE_EOF) break;
      throw LastFileError(path);
    }
    if (got == 0) break;
    held += got;
  }
  return held;
}

void WriteAllAt(int file, std::string_view bytes, off_t offset, const std::string& path) {
  const HANDLE handle = HandleOf(file, path);
  auto at = static_cast<uint64_t>(offset);
  const RangeLock lock(handle, at, bytes.size(), true, path);
  while (!bytes.empty()) {
    OVERLAPPED position = AtOffset(at);
    const DWORD want = static_cast<DWORD>(std::min<size_t>(bytes.size(), MAXDWORD));
    DWORD written = 0;
    if (!::WriteFile(handle, bytes.data(), want, &written, &position)) throw LastFileError(path);
    if (written == 0) throw PlatformError(kDeviceIOError, path + " (nothing written)");
    bytes.remove_prefix(written);
    at += written;
  }
}

void SyncToDisk(int file, const std::string& path) {
  if (!::FlushFileBuffers(HandleOf(file, path))) throw LastFileError(path);
}

void AppendWhole(const std::string& path, std::string_view bytes) {
  const UniqueHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) throw LastFileError(path);
  // The end is found and written under one lock that every appender takes,
  // so that records of several writers never interleave or overwrite one
  // another. The lock is on a byte far beyond any end of file, which no
  // reader of the file's content ever meets.
  const RangeLock appending(file.get(), kAppendLockOffset, 1, true, path);
  LARGE_INTEGER end{};
  if (!::GetFileSizeEx(file.get(), &end)) throw LastFileError(path);
  OVERLAPPED position = AtOffset(static_cast<uint64_t>(end.QuadPart));
  DWORD written = 0;
  if (!::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   &position)) {
    throw LastFileError(path);
  }
  if (written != bytes.size()) throw PlatformError(kDeviceIOError, path + " (written in part)");
}

void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
  TemporaryFile temporary(path);
  temporary.Fill(bytes, path);
  if (!::MoveFileExA(temporary.path().c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    throw LastFileError(path);
  }
  temporary.Release();
}

bool CreateFileWhole(const std::string& path, std::string_view bytes) {
  TemporaryFile temporary(path);
  temporary.Fill(bytes, path);
  // Without MOVEFILE_REPLACE_EXISTING the move never replaces what another
  // writer put at the path in the meantime.
  if (!::MoveFileExA(temporary.path().c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) {
    const DWORD reason = ::GetLastError();
    if (reason == ERROR_ALREADY_EXISTS || reason == ERROR_FILE_EXISTS) return false;
    throw FileErrorFromCode(reason, path);
  }
  temporary.Release();
  return true;
}

}  // namespace platform
