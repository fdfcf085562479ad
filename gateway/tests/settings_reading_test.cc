// What counts as "no settings file" for the WG readers, which open the file
// straight away instead of looking for it first: anything that is not a
// file at the path gives the defaults, a file there is read.

#include <stdlib.h>

#include <fstream>

#include "gateway_fixture.h"
#include "morvane/settings_file.h"

namespace morvane::testing {
namespace {

using SettingsReadingTest = GatewayTest;

void ExpectDefaults(WG& wg) {
  EXPECT_EQ(wg.GetLocalHost(), kDefaultLocalHost);
  EXPECT_EQ(wg.GetRemoteHost(), kDefaultRemoteHost);
  EXPECT_EQ(wg.GetLocalPort(), kDefaultPort);
}

TEST_F(SettingsReadingTest, ADirectoryAtThePathIsNoSettingsFile) {
  std::filesystem::create_directory(SettingsFilePath());
  ExpectDefaults(wg_);
}

TEST_F(SettingsReadingTest, AWindowsDirectoryThatIsMissingOrAFileHasNoSettingsFile) {
  ::setenv("WINDIR", (windir() / "not-there").c_str(), 1);
  ExpectDefaults(wg_);
  const std::filesystem::path file = windir() / "plain-file";
  std::ofstream(file) << "x";
  ::setenv("WINDIR", file.c_str(), 1);
  ExpectDefaults(wg_);
}

TEST_F(SettingsReadingTest, AFileReachedThroughALinkIsRead) {
  const std::filesystem::path real = windir() / "real.ini";
  WriteSettingsRecord(real.string(), SettingsRecord::FromValues("127.0.0.3", "127.0.0.4", "4001"));
  std::filesystem::create_symlink(real, SettingsFilePath());
  EXPECT_EQ(wg_.GetRemoteHost(), "127.0.0.3");
  EXPECT_EQ(wg_.GetLocalHost(), "127.0.0.4");
  EXPECT_EQ(wg_.GetLocalPort(), 4001);
  // A link to nothing is no file: the defaults.
  std::filesystem::remove(real);
  ExpectDefaults(wg_);
}

TEST_F(SettingsReadingTest, EachReaderReadsTheFileAfresh) {
  WriteSettings("127.0.0.5", "127.0.0.6", "4002");
  EXPECT_EQ(wg_.GetLocalPort(), 4002);
  WriteSettings("127.0.0.5", "127.0.0.6", "4003");
  EXPECT_EQ(wg_.GetLocalPort(), 4003);
  std::filesystem::remove(SettingsFilePath());
  EXPECT_EQ(wg_.GetLocalPort(), kDefaultPort);
}

}  // namespace
}  // namespace morvane::testing
