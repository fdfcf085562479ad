// SPDX-License-Identifier: MIT

// Ten thousand commands in a row, a third of them failing in varied ways:
// the process holds the same descriptors and about the same memory at the
// end as after the first hundred.

#include <stdlib.h>

#include <charconv>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <optional>
#include <thread>

#include "closed_port.h"
#include "gateway_fixture.h"
#include "process_resources.h"
#include "read_settings_record.h"
#include "reply_server.h"
#include "result_printer.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/settings_file.h"
#include "test_system.h"

namespace morvane::testing {
namespace {

using namespace std::chrono_literals;
using testing_support::ReplyServer;
using Clock = std::chrono::steady_clock;

constexpr int kCommands = 10000;
constexpr int kWarmUp = 100;
// Far more than the run needs; a hang ends it instead of the test runner.
constexpr auto kTimeLimit = 120s;
// Resident memory may move by a few pages (allocator bins, a thread's
// stack touched deeper); a leak of even 100 bytes per command would show
// as a megabyte.
constexpr size_t kResidentTolerance = 512 * 1024;

const std::string kOk(kSuccessText);
constexpr const char* kSecret = "s3cret";

// The number in a user ID such as "u123", or nullopt.
std::optional<int> UserNumber(std::string_view userid) {
  int number = 0;
  if (userid.size() < 2 || userid[0] != 'u') return std::nullopt;
  const auto [end, error] =
      std::from_chars(userid.data() + 1, userid.data() + userid.size(), number);
  if (error != std::errc() || end != userid.data() + userid.size()) return std::nullopt;
  return number;
}

// The server module's answers: each user ID "u<n>" has n credits and the
// class "c<n>"; the user IDs named below get error replies instead.
std::string Answer(std::string_view line) {
  const size_t blank = line.rfind(' ');
  const std::string_view command = line.substr(0, line.find(' '));
  std::string_view userid = blank == std::string_view::npos ? "" : line.substr(blank + 1);
  userid = userid.substr(0, userid.find("%%"));  // AUTHUSER user%%password
  if (userid == "nobody") return "No such user\r\n";
  if (userid == "garbled") return "Malformed request syntax\r\n";
  if (userid == "hangup") return "";  // closes without a reply
  if (userid == "nonumber") return "Credits is : lots\xF5\r\n";
  if (command == "FROBNICATE" || userid == "old") return "No such command\r\n";
  const std::optional<int> number = UserNumber(userid);
  if (!number) return "Malformed request syntax\r\n";
  const std::string n = std::to_string(*number);
  if (command == "USERIDEXISTS") return "User " + std::string(userid) + " exists\r\n";
  if (command == "NUMBEROFCREDITS")
    return "Credits for " + std::string(userid) + " is : " + n + "\xF5\r\n";
  if (command == "CURRENTCLASS") return "Current class is : c" + n + "\xF5\r\n";
  if (command == "GIVECREDITS") return "Ok\r\n";
  if (command == "HASKEY") return "Yes\r\n";
  return "Malformed request syntax\r\n";
}

class SoakTest : public GatewayTest {
 protected:
  SoakTest()
      : server_(Answer, {.workers = 2}),
        busy_(Answer,
              {.greeting = std::string(testing_support::kModuleBusyGreeting), .workers = 1}) {
    platform::SetDefaultSocketTimeouts({.connect = 1000ms, .receive = 1000ms});
    // One Windows directory per destination; a command goes where WINDIR
    // points when it starts.
    good_dir_ = MakeWindowsDirectory("good", server_.port());
    busy_dir_ = MakeWindowsDirectory("busy", busy_.port());
    dead_dir_ = MakeWindowsDirectory("dead", nothing_listening_.port());
    UseWindowsDirectory(good_dir_);
  }

  std::string MakeWindowsDirectory(const std::string& name, uint16_t port) {
    const std::filesystem::path dir = windir() / name;
    std::filesystem::create_directory(dir);
    WriteSettingsRecord((dir / kSettingsFileName).string(),
                        SettingsRecord::FromValues("127.0.0.1", "127.0.0.1", std::to_string(port)));
    return dir.string();
  }

  // Sends the commands that follow to the destination whose settings lie
  // in `dir`: through WINDIR where a test may choose the Windows
  // directory; on Windows, where it may not, by copying those settings
  // into the system's Windows directory.
  static void UseWindowsDirectory(const std::string& dir) {
    if (!testing_support::UseWindowsDirectory(dir)) {
      const std::string settings = (std::filesystem::path(dir) / kSettingsFileName).string();
      WriteSettingsRecord(SettingsFilePath(), ReadSettingsRecord(settings));
    }
  }

  // Runs command number `i` and checks its result. Two in three succeed;
  // the third fails in one of ten ways, in turn.
  void RunAndCheck(int i) {
    const std::string user = "u" + std::to_string(i);
    if (i % 3 != 0) {
      switch (i % 5) {
        case 0: Expect(wg_.UserIDExists(kSecret, user), Result(0, kOk, 1, "")); break;
        case 1: Expect(wg_.NumberofCredits(kSecret, user), Result(0, kOk, i, "")); break;
        case 2:
          Expect(wg_.CurrentClass(kSecret, user), Result(0, kOk, 0, "c" + std::to_string(i)));
          break;
        case 3: Expect(wg_.GiveCredits(kSecret, user, 5), Result(0, kOk, 1, "No Error")); break;
        case 4: Expect(wg_.HasKey(kSecret, user, "KEY"), Result(0, kOk, 1, "No Error")); break;
      }
      return;
    }
    switch ((i / 3) % 10) {
      case 0:
        Expect(wg_.UserIDExists("wrong", user),
               Result(kWrongSecret, std::string(kWrongSecretText), 0, ""));
        break;
      case 1:
        UseWindowsDirectory(busy_dir_);
        Expect(wg_.CurrentClass(kSecret, user),
               Result(kServerBusy, std::string(kServerBusyText), 0, "Error"));
        UseWindowsDirectory(good_dir_);
        break;
      case 2:
        UseWindowsDirectory(dead_dir_);
        Expect(wg_.GiveCredits(kSecret, user, 1),
               Result(kNoConnection, std::string(kNoConnectionText), 0, "Error"));
        UseWindowsDirectory(good_dir_);
        break;
      case 3:
        Expect(wg_.AuthUser(kSecret, "nobody", "pw"),
               Result(kNoSuchUser, std::string(kNoSuchUserText), 0, ""));
        break;
      case 4:
        Expect(wg_.NumberOfDays(kSecret, "garbled"),
               Result(kMalformedRequest, std::string(kMalformedRequestText), 0, ""));
        break;
      case 5:
        Expect(wg_.UserOnline(kSecret, "hangup"),
               Result(kBadCommunication, std::string(kBadCommunicationText), 0, "Error"));
        break;
      case 6:
        Expect(wg_.GiveKey(kSecret, user, "a key far too long"),
               Result(kKeyTooLong, std::string(kKeyTooLongText), 0, ""));
        break;
      case 7:
        Expect(wg_.DeleteUser(kSecret, user + "\r\nDELETEUSER sysop"),
               Result(kInvalidCharacter, std::string(kInvalidCharacterText), 0, "Error"));
        break;
      case 8:
        EXPECT_EQ(RaisedError([&] { wg_.NumberofCredits(kSecret, "nonumber"); }),
                  platform::kTypeMismatch);
        break;
      case 9:
        Expect(wg_.SuspendUser(kSecret, "old"),
               Result(kNoSuchCommand, std::string(kNoSuchCommandText), 0, "Error"));
        break;
    }
  }

  // Compares, and counts mismatches so that a broken run stops early
  // instead of printing ten thousand failures.
  void Expect(const CommandReturn& actual, const CommandReturn& expected) {
    EXPECT_EQ(actual, expected);
    if (!(actual == expected)) ++mismatches_;
  }

  int mismatches() const { return mismatches_; }
  const ReplyServer& server() const { return server_; }

 private:
  ReplyServer server_;
  ReplyServer busy_;
  testing_support::ClosedPort nothing_listening_;
  std::string good_dir_, busy_dir_, dead_dir_;
  int mismatches_ = 0;
};

// The open descriptors of the process once the in-process servers have
// closed their side of the last connection: their threads may still be at
// it when the client returns, so the least count over a short while.
size_t SettledDescriptorCount() {
  size_t least = testing_support::OpenDescriptorCount();
  for (int i = 0; i < 20; ++i) {
    std::this_thread::sleep_for(10ms);
    least = std::min(least, testing_support::OpenDescriptorCount());
  }
  return least;
}

TEST_F(SoakTest, TenThousandCommandsLeaveNoDescriptorAndNoMemoryBehind) {
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  size_t descriptors_after_warm_up = 0, resident_after_warm_up = 0;
  int done = 0;
  for (; done < kCommands && Clock::now() < deadline && mismatches() < 10; ++done) {
    if (done == kWarmUp) {
      descriptors_after_warm_up = SettledDescriptorCount();
      resident_after_warm_up = testing_support::ResidentBytes();
    }
    RunAndCheck(done);
  }
  ASSERT_EQ(done, kCommands) << "stopped early: mismatches or the time limit";

  const size_t descriptors_at_end = SettledDescriptorCount();
  const size_t resident_at_end = testing_support::ResidentBytes();
  EXPECT_EQ(descriptors_at_end, descriptors_after_warm_up);
  if (testing_support::kResidentMemoryShowsLeaks) {
    EXPECT_LE(resident_at_end, resident_after_warm_up + kResidentTolerance);
  }
  RecordProperty("resident_after_warm_up", std::to_string(resident_after_warm_up));
  RecordProperty("resident_at_end", std::to_string(resident_at_end));
  std::cout << "resident memory after " << kWarmUp << " commands: " << resident_after_warm_up
            << " bytes, after " << kCommands << ": " << resident_at_end << " bytes\n";
  // Every command that passed the handshake reached the server once.
  EXPECT_GT(server().commands(), static_cast<uint64_t>(kCommands / 2));
}

}  // namespace
}  // namespace morvane::testing
