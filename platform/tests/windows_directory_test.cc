#include "platform/windows_directory.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "platform/file_system.h"

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

}  // namespace
}  // namespace platform
