// SPDX-License-Identifier: MIT

#include "tessaly/morvane/settings_file.h"

#include <atomic>
#include <fstream>
#include <sstream>
#include <thread>

#include "gateway_fixture.h"
#include "read_settings_record.h"
#include "tessaly/platform/windows_directory.h"
#include "test_system.h"

namespace morvane::testing {
namespace {

using SettingsFileTest = GatewayTest;

std::string FileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

TEST_F(SettingsFileTest, TheRecordIsThreeSpaceFilledFieldsOfTwentyBytes) {
  WriteSettings("10.0.0.7", "10.0.0.2", "3425");
  EXPECT_EQ(FileBytes(SettingsFilePath()), "10.0.0.7" + std::string(12, ' ') + "10.0.0.2" +
                                               std::string(12, ' ') + "3425" +
                                               std::string(16, ' '));
  EXPECT_EQ(wg_.GetRemoteHost(), "10.0.0.7");
  EXPECT_EQ(wg_.GetLocalHost(), "10.0.0.2");
  EXPECT_EQ(wg_.GetLocalPort(), 3425);
}

TEST_F(SettingsFileTest, AMissingFileGivesTheDefaults) {
  // On Windows the system's Windows directory holds a file, which the
  // fixture puts back afterwards.
  std::filesystem::remove(SettingsFilePath());
  const std::string dir =
      testing_support::kOnWindows ? platform::WindowsDirectory() : windir().string();
  EXPECT_EQ(SettingsFilePath(), dir + "/morvane.ini");
  EXPECT_EQ(wg_.GetLocalHost(), "192.168.0.2");
  EXPECT_EQ(wg_.GetRemoteHost(), "192.168.0.2");
  EXPECT_EQ(wg_.GetLocalPort(), 3425);
}

TEST_F(SettingsFileTest, ThePortIsTrimmedAndConverted) {
  WriteSettings("h", "h", "  4000");
  EXPECT_EQ(wg_.GetLocalPort(), 4000);
  WriteSettings("h", "h", "3425.5");
  EXPECT_EQ(wg_.GetLocalPort(), 3426);
  WriteSettings("h", "h", "port");
  EXPECT_EQ(RaisedError([&] { wg_.GetLocalPort(); }), platform::kTypeMismatch);
  WriteSettings("h", "h", "");
  EXPECT_EQ(RaisedError([&] { wg_.GetLocalPort(); }), platform::kTypeMismatch);
  WriteSettings("h", "h", "99999999999");
  EXPECT_EQ(RaisedError([&] { wg_.GetLocalPort(); }), platform::kOverflow);
}

TEST_F(SettingsFileTest, OnlySpacesAreTrimmed) {
  WriteSettingsBytes(std::string("  10.1.1.1\t") + std::string(9, ' ') + std::string(1, '\0') +
                     "10.0.0.2" + std::string(11, ' ') + "3425");
  EXPECT_EQ(wg_.GetRemoteHost(), "10.1.1.1\t");
  EXPECT_EQ(wg_.GetLocalHost(), std::string(1, '\0') + "10.0.0.2");
}

TEST_F(SettingsFileTest, AShortFileReadsItsMissingPartAsSpaces) {
  WriteSettingsBytes("127.0.0.1");
  size_t found = 0;
  const SettingsRecord record = ReadSettingsRecord(SettingsFilePath(), &found);
  EXPECT_EQ(found, 9u);
  EXPECT_EQ(record.local_host(), std::string(20, ' '));
  EXPECT_EQ(wg_.GetRemoteHost(), "127.0.0.1");
  EXPECT_EQ(wg_.GetLocalHost(), "");
  EXPECT_EQ(RaisedError([&] { wg_.GetLocalPort(); }), platform::kTypeMismatch);
}

TEST_F(SettingsFileTest, RewritingKeepsTheTailAndCutsLongValues) {
  WriteSettingsBytes(std::string(60, 'x') + "TAIL");
  WriteSettings("a-very-long-host-name.example", "é", "3425");
  const std::string bytes = FileBytes(SettingsFilePath());
  EXPECT_EQ(bytes.size(), 64u);
  EXPECT_EQ(bytes.substr(0, 20), "a-very-long-host-nam");
  EXPECT_EQ(bytes.substr(20, 2), "\xE9 ");  // one byte per character
  EXPECT_EQ(bytes.substr(60), "TAIL");
  EXPECT_EQ(wg_.GetLocalHost(), "é");
  // A connection takes the same values, converted one field after another.
  WriteSettings("hôte", "é", " 3425 ");
  EXPECT_EQ(wg_.InitWinsock()->Describe(),
            "VBWinsock.TCPIP local host \"é\", remote host \"hôte\", remote port 3425, not "
            "connected");
}

TEST_F(SettingsFileTest, FilesThatCannotBeUsedRaiseFileErrors) {
  if (!testing_support::UseWindowsDirectory(windir() / "missing-dir")) {
    GTEST_SKIP() << testing_support::kFixedWindowsDirectory;
  }
  EXPECT_EQ(RaisedError([] {
              WriteSettingsRecord(SettingsFilePath(), SettingsRecord::FromValues("a", "b", "1"));
            }),
            platform::kFileNotFound);
  EXPECT_EQ(RaisedError([] { ReadSettingsRecord(SettingsFilePath()); }), platform::kFileNotFound);
}

// The settings tool may rewrite the record while a page reads it: each
// read sees one whole record, the old or the new, never a mixture (on
// Windows the reader and the writer lock the record's bytes).
TEST_F(SettingsFileTest, AReadDuringARewriteSeesOneWholeRecord) {
  const std::string a(SettingsRecord::kFieldWidth, 'a'), b(SettingsRecord::kFieldWidth, 'b');
  const SettingsRecord records[] = {SettingsRecord::FromValues(a, a, a),
                                    SettingsRecord::FromValues(b, b, b)};
  const std::string path = SettingsFilePath();
  WriteSettingsRecord(path, records[0]);
  std::atomic<bool> reading{true};
  std::atomic<int> rewrites{0};
  std::thread writer([&] {
    try {
      for (int i = 1; reading; ++i, ++rewrites) WriteSettingsRecord(path, records[i % 2]);
    } catch (const platform::PlatformError& error) {
      ADD_FAILURE() << error.what();
    }
  });
  int mixed = 0;
  // At least a few rewrites happen while the reads go on, within a bound.
  for (int i = 0; i < 2000 || (rewrites < 10 && i < 200000); ++i) {
    const SettingsRecord read = ReadSettingsRecord(path);
    if (read.bytes() != records[0].bytes() && read.bytes() != records[1].bytes()) ++mixed;
  }
  reading = false;
  writer.join();
  EXPECT_EQ(mixed, 0);
}

// A first save cut short (a full disk, a kill) must never leave an empty
// or half-written file, which every later command would read as settings.
TEST_F(SettingsFileTest, AFirstSaveIsAllOrNothing) {
  std::string reason;
  {
    // The second half of the record fails.
    const testing_support::FileSizeLimit limit(SettingsRecord::kSize / 2);
    if (!limit.active()) GTEST_SKIP() << "Windows has no file size limit to cut a save short";
    try {
      WriteSettings("10.0.0.7", "10.0.0.2", "3425");
    } catch (const platform::PlatformError& error) {
      reason = error.description();
    }
  }
  EXPECT_NE(reason.find(SettingsFilePath()), std::string::npos) << reason;
  EXPECT_NE(reason.find("too large"), std::string::npos) << reason;
  EXPECT_TRUE(std::filesystem::is_empty(windir())) << "no file and no temporary left";

  WriteSettings("10.0.0.7", "10.0.0.2", "3425");
  EXPECT_EQ(std::filesystem::file_size(SettingsFilePath()), SettingsRecord::kSize);
  EXPECT_EQ(std::filesystem::status(SettingsFilePath()).permissions(),
            std::filesystem::perms(0644));
}

TEST_F(SettingsFileTest, AFifoIsRefusedWithoutWaitingOrWriting) {
  if (!testing_support::MakeFifo(SettingsFilePath())) GTEST_SKIP() << "Windows has no FIFOs";
  std::string reason;
  try {
    WriteSettings("10.0.0.7", "10.0.0.2", "3425");
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.number(), platform::kPathFileAccessError);
    reason = error.description();
  }
  EXPECT_NE(reason.find(SettingsFilePath()), std::string::npos) << reason;
  EXPECT_TRUE(std::filesystem::is_fifo(SettingsFilePath()));
  EXPECT_EQ(RaisedError([] { ReadSettingsRecord(SettingsFilePath()); }),
            platform::kPathFileAccessError);
}

}  // namespace
}  // namespace morvane::testing
