// SPDX-License-Identifier: MIT

// What counts as "no settings file" for the WG readers, which open the file
// straight away instead of looking for it first: only a file absent from
// an existing directory gives the defaults; anything else that stops the
// read is an error, so that the secret phrase never goes to the built-in
// default host by accident.

#include <stdlib.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "gateway_fixture.h"
#include "read_settings_record.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/unique_fd.h"

namespace morvane::testing {
namespace {

using SettingsReadingTest = GatewayTest;
namespace fs = std::filesystem;

constexpr int32_t kDefaults = 0;

void ExpectDefaults(WG& wg) {
  EXPECT_EQ(wg.GetLocalHost(), kDefaultLocalHost);
  EXPECT_EQ(wg.GetRemoteHost(), kDefaultRemoteHost);
  EXPECT_EQ(wg.GetLocalPort(), kDefaultPort);
}

TEST_F(SettingsReadingTest, OnlyAFileAbsentFromItsDirectoryMeansTheDefaults) {
  struct Row {
    const char* what;
    std::function<void(const fs::path& windir)> arrange;
    int32_t error;  // kDefaults when the readers give the defaults
    bool defeated_by_root = false;
  };
  const auto settings = [](const fs::path& windir) { return windir / "morvane.ini"; };
  const Row rows[] = {
      {"no file", [](const fs::path&) {}, kDefaults},
      {"a directory", [&](const fs::path& d) { fs::create_directory(settings(d)); },
       platform::kPathFileAccessError},
      {"a FIFO", [&](const fs::path& d) { ::mkfifo(settings(d).c_str(), 0644); },
       platform::kPathFileAccessError},
      {"a link to a FIFO",
       [&](const fs::path& d) {
         ::mkfifo((d / "fifo").c_str(), 0644);
         fs::create_symlink(d / "fifo", settings(d));
       },
       platform::kPathFileAccessError},
      {"a dangling link", [&](const fs::path& d) { fs::create_symlink(d / "gone", settings(d)); },
       platform::kFileNotFound},
      {"a link loop",
       [&](const fs::path& d) {
         fs::create_symlink(d / "loop", settings(d));
         fs::create_symlink(settings(d), d / "loop");
       },
       platform::kPathFileAccessError},
      {"a missing Windows directory",
       [](const fs::path& d) { ::setenv("WINDIR", (d / "not-there").c_str(), 1); },
       platform::kFileNotFound},
      {"a Windows directory that is a file",
       [](const fs::path& d) {
         std::ofstream(d / "plain-file") << "x";
         ::setenv("WINDIR", (d / "plain-file").c_str(), 1);
       },
       platform::kPathNotFound},
      {"an unreadable file",
       [&](const fs::path& d) {
         std::ofstream(settings(d)) << std::string(60, ' ');
         fs::permissions(settings(d), fs::perms::none);
       },
       platform::kPermissionDenied, true},
      {"an unsearchable Windows directory",
       [](const fs::path& d) {
         fs::create_directory(d / "locked");
         fs::permissions(d / "locked", fs::perms::owner_write);
         ::setenv("WINDIR", (d / "locked").c_str(), 1);
       },
       platform::kPermissionDenied, true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.what);
    if (row.defeated_by_root && ::geteuid() == 0) continue;  // root reads and searches anything
    const fs::path dir = windir() / "case";
    fs::create_directory(dir);
    ::setenv("WINDIR", dir.c_str(), 1);
    row.arrange(dir);
    if (row.error == kDefaults) {
      ExpectDefaults(wg_);
    } else {
      EXPECT_EQ(RaisedError([&] { wg_.GetLocalHost(); }), row.error);
      EXPECT_EQ(RaisedError([&] { wg_.GetRemoteHost(); }), row.error);
      EXPECT_EQ(RaisedError([&] { wg_.GetLocalPort(); }), row.error);
      EXPECT_EQ(RaisedError([&] { wg_.InitWinsock(); }), row.error);
      EXPECT_EQ(RaisedError([&] { ReadSettingsRecord(SettingsFilePath()); }), row.error);
      if (row.error != platform::kFileNotFound) {
        // Nothing is written into what is not a regular file.
        EXPECT_NE(RaisedError([] {
                    WriteSettingsRecord(SettingsFilePath(),
                                        SettingsRecord::FromValues("a", "b", "1"));
                  }),
                  0);
      }
    }
    ::setenv("WINDIR", windir().c_str(), 1);
    fs::permissions(dir, fs::perms::owner_all);
    fs::remove_all(dir);
  }
}

TEST_F(SettingsReadingTest, AFileReachedThroughALinkIsRead) {
  const fs::path real = windir() / "real.ini";
  WriteSettingsRecord(real.string(), SettingsRecord::FromValues("127.0.0.3", "127.0.0.4", "4001"));
  fs::create_symlink(real, SettingsFilePath());
  EXPECT_EQ(wg_.GetRemoteHost(), "127.0.0.3");
  EXPECT_EQ(wg_.GetLocalHost(), "127.0.0.4");
  EXPECT_EQ(wg_.GetLocalPort(), 4001);
}

TEST_F(SettingsReadingTest, EachReaderReadsTheFileAfresh) {
  WriteSettings("127.0.0.5", "127.0.0.6", "4002");
  EXPECT_EQ(wg_.GetLocalPort(), 4002);
  WriteSettings("127.0.0.5", "127.0.0.6", "4003");
  EXPECT_EQ(wg_.GetLocalPort(), 4003);
  fs::remove(SettingsFilePath());
  EXPECT_EQ(wg_.GetLocalPort(), kDefaultPort);
}

// A connection takes its three values from one read: a settings tool
// rewriting the file between two reads could otherwise pair the old host
// with the new port.
TEST_F(SettingsReadingTest, InitWinsockReadsTheFileOnceTheReadersEachTime) {
  WriteSettings("127.0.0.7", "127.0.0.8", "4004");
  const platform::UniqueFd watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  ASSERT_TRUE(watch);
  // Closes are watched too: the kernel merges an event into an unread
  // one just like it, and open, close, open are never alike.
  ASSERT_GE(
      ::inotify_add_watch(watch.get(), SettingsFilePath().c_str(), IN_OPEN | IN_CLOSE_NOWRITE), 0);
  const auto opens = [&] {
    int count = 0;
    alignas(inotify_event) char events[4096];
    for (ssize_t got; (got = ::read(watch.get(), events, sizeof events)) > 0;) {
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(events + at);
        count += (event->mask & IN_OPEN) != 0 ? 1 : 0;
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      }
    }
    return count;
  };
  const auto socket = wg_.InitWinsock();
  EXPECT_EQ(opens(), 1);
  EXPECT_EQ(socket->Describe(),
            "VBWinsock.TCPIP local host \"127.0.0.8\", remote host \"127.0.0.7\", remote port "
            "4004, not connected");
  wg_.GetLocalHost();
  wg_.GetRemoteHost();
  wg_.GetLocalPort();
  EXPECT_EQ(opens(), 3);
}

}  // namespace
}  // namespace morvane::testing
