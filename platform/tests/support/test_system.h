// SPDX-License-Identifier: MIT

// What tests need of the system beyond the platform layer: temporary
// directories, the environment, the Windows directory, FIFOs and a file
// size limit. Cases that only a POSIX system can play (a FIFO, WINDIR, a
// file size limit) ask here, and skip with a reason on Windows.

#ifndef PLATFORM_TESTS_SUPPORT_TEST_SYSTEM_H_
#define PLATFORM_TESTS_SUPPORT_TEST_SYSTEM_H_

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace testing_support {

// True on Windows (under Wine too).
extern const bool kOnWindows;

// The reason a case skips on Windows, where the Windows directory is the
// system's (GetWindowsDirectoryA) and no variable chooses it.
inline constexpr const char* kFixedWindowsDirectory =
    "the Windows directory is the system's own on Windows";

// A new empty directory in the system's temporary directory whose name
// starts with `prefix`. Throws std::runtime_error when none can be made.
std::filesystem::path MakeTemporaryDirectory(std::string_view prefix);

// Sets or removes an environment variable of the process.
void SetEnvironment(const std::string& name, const std::string& value);
void UnsetEnvironment(const std::string& name);

// Makes `dir` the Windows directory the platform reports, through WINDIR,
// and returns true; returns false on Windows, where nothing can.
bool UseWindowsDirectory(const std::filesystem::path& dir);
// Undoes UseWindowsDirectory: the platform's own choice again.
void ForgetWindowsDirectory();

// Makes a FIFO at `path`. False when that fails, and on Windows, which
// has none.
bool MakeFifo(const std::filesystem::path& path);

// While it lives, files this process writes cannot grow beyond `bytes`
// (a write beyond fails instead of raising a signal). On Windows, which
// has no such limit, active() is false and nothing is limited.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(uint64_t bytes);
  ~FileSizeLimit();
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

  bool active() const { return active_; }

 private:
  bool active_ = false;
  uint64_t saved_ = 0;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_TEST_SYSTEM_H_
