// SPDX-License-Identifier: MIT

#include "tessaly/platform/windows_directory.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"

namespace platform {
namespace {

TEST(WindowsDirectory, ComesFromWindirWithoutTrailingSpaces) {
  ::setenv("WINDIR", "/tmp/some dir  ", 1);
  EXPECT_EQ(WindowsDirectory(), "/tmp/some dir");
  for (const char* unset : {"", " ", "    "}) {
    ::setenv("WINDIR", unset, 1);
    EXPECT_EQ(WindowsDirectory(), BuiltInWindowsDirectory()) << '"' << unset << '"';
  }
  ::unsetenv("WINDIR");
  EXPECT_EQ(WindowsDirectory(), BuiltInWindowsDirectory());
}

TEST(FileExists, IsTrueForFilesOnly) {
  const auto dir = std::filesystem::temp_directory_path() / "tessaly-file-exists";
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "f") << "x";
  EXPECT_TRUE(FileExists((dir / "f").string()));
  EXPECT_FALSE(FileExists(dir.string()));
  EXPECT_FALSE(FileExists((dir / "missing").string()));
  std::filesystem::remove_all(dir);
}

// The permission bits of the file at `path`.
mode_t ModeOf(const std::filesystem::path& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

TEST(ReplaceFileAtomically, KeepsThePermissionsAndLeavesNoTemporaryFile) {
  const auto dir = std::filesystem::temp_directory_path() / "tessaly-replace";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto file = dir / "accounts.txt";
  ReplaceFileAtomically(file.string(), "new file");
  EXPECT_EQ(ReadWholeFile(file.string()), "new file");
  EXPECT_EQ(ModeOf(file) & ~mode_t{0644}, 0u);  // 0644 less the umask

  ::chmod(file.c_str(), 0600);
  ReplaceFileAtomically(file.string(), "second");
  EXPECT_EQ(ReadWholeFile(file.string()), "second");
  EXPECT_EQ(ModeOf(file), 0600u);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_EQ(TemporaryNamePrefix(file.string()), ".accounts.txt.");

  // A directory that is gone: the error names the file, nothing is left.
  try {
    ReplaceFileAtomically((dir / "gone" / "f").string(), "x");
    ADD_FAILURE() << "no error";
  } catch (const PlatformError& error) {
    EXPECT_NE(error.description().find((dir / "gone" / "f").string()), std::string::npos);
  }
  std::filesystem::remove_all(dir);
}

TEST(ReadWholeFile, RefusesWhatItCannotReadWithoutBlocking) {
  const auto dir = std::filesystem::temp_directory_path() / "tessaly-read-whole";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "f") << "0123456789";
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
  EXPECT_EQ(ReadWholeFile((dir / "f").string(), 10), "0123456789");
  const struct {
    const char* what;
    std::filesystem::path path;
    size_t max_bytes;
    int32_t number;
  } kRows[] = {
      {"nothing there", dir / "missing", 100, kFileNotFound},
      {"a FIFO without a writer", dir / "fifo", 100, kPathFileAccessError},
      {"a directory", dir, 100, kPathFileAccessError},
      {"more than the bound", dir / "f", 9, kPathFileAccessError},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    try {
      ReadWholeFile(row.path.string(), row.max_bytes);
      ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number(), row.number);
      EXPECT_NE(error.description().find(row.path.string()), std::string::npos);
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace platform
