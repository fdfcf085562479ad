// SPDX-License-Identifier: MIT

#include "tessaly/platform/windows_directory.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <vector>

#include "tessaly/platform/error.h"
#include "tessaly/platform/file_system.h"
#include "test_system.h"

namespace platform {
namespace {

using testing_support::kOnWindows;
using testing_support::SetEnvironment;
using testing_support::UnsetEnvironment;

TEST(WindowsDirectory, ComesFromWindirWithoutTrailingSpaces) {
  if (kOnWindows) GTEST_SKIP() << testing_support::kFixedWindowsDirectory;
  SetEnvironment("WINDIR", "/tmp/some dir  ");
  EXPECT_EQ(WindowsDirectory(), "/tmp/some dir");
  for (const char* unset : {"", " ", "    "}) {
    SetEnvironment("WINDIR", unset);
    EXPECT_EQ(WindowsDirectory(), BuiltInWindowsDirectory()) << '"' << unset << '"';
  }
  UnsetEnvironment("WINDIR");
  EXPECT_EQ(WindowsDirectory(), BuiltInWindowsDirectory());
}

TEST(WindowsDirectory, OnWindowsIsTheSystemsWhateverWindirSays) {
  if (!kOnWindows) GTEST_SKIP() << "only Windows has a Windows directory of its own";
  SetEnvironment("WINDIR", "C:\\elsewhere  ");
  const std::string directory = WindowsDirectory();
  UnsetEnvironment("WINDIR");
  EXPECT_EQ(directory, WindowsDirectory());
  EXPECT_NE(directory.find("indows"), std::string::npos) << directory;
  EXPECT_NE(directory.back(), ' ');
  EXPECT_TRUE(std::filesystem::is_directory(directory)) << directory;
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
unsigned ModeOf(const std::filesystem::path& path) {
  return static_cast<unsigned>(std::filesystem::status(path).permissions());
}

TEST(ReplaceFileAtomically, KeepsThePermissionsAndLeavesNoTemporaryFile) {
  const auto dir = std::filesystem::temp_directory_path() / "tessaly-replace";
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  const auto file = dir / "accounts.txt";
  ReplaceFileAtomically(file.string(), "new file");
  EXPECT_EQ(ReadWholeFile(file.string()), "new file");
  // Windows files have no permission bits to keep.
  if (!kOnWindows) {
    EXPECT_EQ(ModeOf(file) & ~0644u, 0u);  // 0644 less the umask
    std::filesystem::permissions(file, std::filesystem::perms(0600));
  }
  ReplaceFileAtomically(file.string(), "second");
  EXPECT_EQ(ReadWholeFile(file.string()), "second");
  if (!kOnWindows) {
    EXPECT_EQ(ModeOf(file), 0600u);
  }
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir), {}), 1);
  EXPECT_EQ(TemporaryNamePrefix(file.string()), ".accounts.txt.tessaly-");

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
  EXPECT_EQ(ReadWholeFile((dir / "f").string(), 10), "0123456789");
  struct Row {
    const char* what;
    std::filesystem::path path;
    size_t max_bytes;
    int32_t number;
  };
  std::vector<Row> rows = {
      {"nothing there", dir / "missing", 100, kFileNotFound},
      {"a directory", dir, 100, kPathFileAccessError},
      {"more than the bound", dir / "f", 9, kPathFileAccessError},
      {"a file where a directory should be", dir / "f" / "x", 100, kPathNotFound},
  };
  // Windows has no FIFOs.
  if (testing_support::MakeFifo(dir / "fifo")) {
    rows.push_back({"a FIFO without a writer", dir / "fifo", 100, kPathFileAccessError});
  } else {
    EXPECT_TRUE(kOnWindows) << "no FIFO made";
  }
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    try {
      ReadWholeFile(row.path.string(), row.max_bytes);
      ADD_FAILURE() << "no error";
    } catch (const PlatformError& error) {
      EXPECT_EQ(error.number(), row.number);
      EXPECT_NE(error.description().find(row.path.string()), std::string::npos);
      // The system's reason follows the path in brackets.
      EXPECT_TRUE(error.description().ends_with(")")) << error.description();
    }
  }
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace platform
