// SPDX-License-Identifier: MIT

// The real gateway (WG) against the simulator over loopback: every command
// gets the answer a script page expects, changes land in the account file,
// and the server stays fair to many clients at once.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <thread>

#include "support/raw_client.h"
#include "support/simulator_fixture.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/file_system.h"

namespace tools_testing {
namespace {

using morvane::CommandReturn;
using namespace std::chrono_literals;

const std::string kOk(morvane::kSuccessText);

CommandReturn R(int32_t number, std::string description, int32_t long_value, std::string text) {
  return {{number, std::move(description)}, long_value, std::move(text)};
}

class GatewayAgainstSimulatorTest : public SimulatorTest {
 protected:
  morvane::WG wg_;
  const std::string s_ = kTestSecret;
  const std::string alice_ = "Alice Smith";
};

TEST_F(GatewayAgainstSimulatorTest, IdentityAndValueQueries) {
  EXPECT_EQ(wg_.UserIDExists(s_, "alice smith"), R(0, kOk, 1, ""));
  EXPECT_EQ(wg_.UserIDExists(s_, "Nobody"), R(0, kOk, 0, ""));
  EXPECT_EQ(wg_.AuthUser(s_, alice_, "wonderland"), R(0, kOk, 1, ""));
  EXPECT_EQ(wg_.AuthUser(s_, alice_, "guess"), R(0, kOk, 0, ""));
  EXPECT_EQ(wg_.AuthUser(s_, "Nobody", "x"), R(-101, "No such user exists", 0, ""));

  EXPECT_EQ(wg_.NumberofCredits(s_, alice_), R(0, kOk, 100, ""));
  EXPECT_EQ(wg_.NumberOfDays(s_, alice_), R(0, kOk, 10, ""));
  EXPECT_EQ(wg_.LastLogin(s_, alice_), R(0, kOk, 20240102, ""));
  EXPECT_EQ(wg_.CreationDate(s_, alice_), R(0, kOk, 20200101, ""));
  EXPECT_EQ(wg_.PrimaryClass(s_, alice_), R(0, kOk, 0, "PAYING"));
  EXPECT_EQ(wg_.CurrentClass(s_, alice_), R(0, kOk, 0, "PAYING"));
  EXPECT_EQ(wg_.NumberofCredits(s_, "Nobody"), R(-101, "No such user exists", -1, ""));
  EXPECT_EQ(wg_.CurrentClass(s_, "Nobody"), R(-101, "No such user exists", 0, "Error"));
  EXPECT_EQ(wg_.SystemVariable(s_, 1), R(0, kOk, 42, "No Error"));
  EXPECT_EQ(wg_.SystemVariable(s_, 9), R(-106, "No such system variable exists", 0, "Error"));
}

TEST_F(GatewayAgainstSimulatorTest, ConfirmedChangesReachTheAccountFile) {
  EXPECT_EQ(wg_.GiveCredits(s_, alice_, 50), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.GiveCredits(s_, alice_, -1000),
            R(-104, "Server returned an unknown error", 0, "Error"));
  EXPECT_EQ(wg_.GiveDays(s_, alice_, -30).error_object.number, morvane::kNegativeDays);
  EXPECT_EQ(wg_.GiveDays(s_, alice_, 20), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.SwitchClass(s_, alice_, "GOLD"), R(-107, "No such class", 0, "Error"));
  EXPECT_EQ(wg_.SwitchClass(s_, alice_, "NEWUSER"), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.DeleteUser(s_, "Sysop"), R(-108, "User is protected", 0, "Error"));
  EXPECT_EQ(wg_.SuspendUser(s_, alice_), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.GiveCredits(s_, "Nobody", 1), R(-101, "No such user exists", 0, "Error"));

  const wgsim::AccountBook book = BookOnDisk();
  const wgsim::Account& alice = *book.Find(alice_);
  EXPECT_EQ(alice.credits, 150);
  EXPECT_EQ(alice.days, 30);
  EXPECT_EQ(alice.primary_class, "NEWUSER");
  EXPECT_TRUE(alice.suspended);
  EXPECT_FALSE(book.Find("Sysop")->deleted);

  EXPECT_EQ(wg_.UnSuspendUser(s_, alice_), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.DeleteUser(s_, alice_), R(0, kOk, 1, "No Error"));
  EXPECT_TRUE(BookOnDisk().Find(alice_)->deleted);
  EXPECT_EQ(wg_.UnDeleteUser(s_, alice_), R(0, kOk, 1, "No Error"));
  EXPECT_FALSE(BookOnDisk().Find(alice_)->suspended);
  EXPECT_FALSE(BookOnDisk().Find(alice_)->deleted);
}

TEST_F(GatewayAgainstSimulatorTest, YesNoQuestionsAndDefaultYesChanges) {
  EXPECT_EQ(wg_.HasKey(s_, alice_, "FORUMS"), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.HasKey(s_, alice_, "GAMES"), R(0, kOk, 0, "No Error"));
  EXPECT_EQ(wg_.GiveKey(s_, alice_, "GAMES"), R(0, kOk, 1, ""));
  EXPECT_EQ(wg_.HasKey(s_, alice_, "games"), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.TakeKey(s_, alice_, "FORUMS"), R(0, kOk, 1, ""));
  EXPECT_EQ(wg_.HasKey(s_, alice_, "FORUMS"), R(0, kOk, 0, "No Error"));
  EXPECT_EQ(BookOnDisk().Find(alice_)->keys, std::vector<std::string>{"GAMES"});

  EXPECT_EQ(wg_.HasMaster(s_, "Sysop"), R(0, kOk, 1, ""));
  EXPECT_EQ(wg_.HasMaster(s_, alice_), R(0, kOk, 0, ""));
  EXPECT_EQ(wg_.IsSuspended(s_, alice_), R(0, kOk, 0, ""));
  EXPECT_EQ(wg_.UserOnline(s_, alice_), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(wg_.UserOnline(s_, "Sysop"), R(0, kOk, 0, "No Error"));
  EXPECT_EQ(wg_.UserOnline(s_, "Nobody"), R(-101, "No such user exists", 0, "Error"));

  EXPECT_EQ(wg_.UpdateUserField(s_, alice_, 3, "Acme %% Co "), R(0, kOk, 1, "No Error"));
  EXPECT_EQ(BookOnDisk().Find(alice_)->fields.at(3), "Acme %% Co ");
  EXPECT_EQ(wg_.UpdateUserField(s_, alice_, 99, "x"), R(0, kOk, 0, "No Error"));

  EXPECT_EQ(wg_.AuditMessage(s_, "Nightly check"), R(0, kOk, 1, ""));
  EXPECT_NE(platform::ReadWholeFile((dir_ / "audit.log").string()).find("Nightly check"),
            std::string::npos);
}

TEST_F(GatewayAgainstSimulatorTest, AWrongSecretPhraseIsRefused) {
  EXPECT_EQ(wg_.GiveCredits("wrong", alice_, 5),
            R(-503, "Error Code -503: Incorrect secret phrase.", 0, "Error"));
  EXPECT_EQ(BookOnDisk().Find(alice_)->credits, 100);
}

TEST_F(GatewayAgainstSimulatorTest, ManyClientsAtOnceWhileOneStaysSilent) {
  // A client that connects and never answers holds one session until the
  // timeout, and must not hold up anyone else.
  RawClient silent(port());
  ASSERT_EQ(silent.ReadAnswer(), "Please enter your secret string to continue.\xF5\xF5");

  // Were sessions served one after another, this would wait for the silent
  // client's 2 s timeout.
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(wg_.UserIDExists(s_, alice_).long_value, 1);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1000ms);

  constexpr int kThreads = 8;
  constexpr int kCallsEach = 5;
  std::atomic<int> confirmed{0};
  std::vector<std::thread> clients;
  for (int t = 0; t < kThreads; ++t) {
    clients.emplace_back([&] {
      morvane::WG wg;  // one object per thread, as the gateway requires
      for (int i = 0; i < kCallsEach; ++i) {
        if (wg.GiveCredits(kTestSecret, "Alice Smith", 1).long_value == 1) ++confirmed;
      }
    });
  }
  for (std::thread& client : clients) client.join();

  EXPECT_EQ(confirmed.load(), kThreads * kCallsEach);
  EXPECT_EQ(BookOnDisk().Find(alice_)->credits, 100 + kThreads * kCallsEach);
}

TEST_F(GatewayAgainstSimulatorTest, ASlowOrFloodingClientIsCutOff) {
  RawClient flooding(port());
  flooding.ReadAnswer();
  flooding.Send(std::string(5000, 'x'));
  EXPECT_EQ(flooding.ReadAnswer(), "Goodbye.\xF5\xF5") << "a secret longer than any line";

  RawClient dribbling(port());
  dribbling.ReadAnswer();
  dribbling.Send("s3");  // and then nothing
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(dribbling.ReadAnswer(4000), "") << "closed without an answer";
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3500ms);
  EXPECT_EQ(wg_.UserIDExists(s_, alice_).long_value, 1);
}

TEST_F(GatewayAgainstSimulatorTest, IdleConnectionsDoNotShutOthersOut) {
  // Sixteen connections that never send the secret: some get sessions,
  // the rest the busy greeting.
  std::vector<std::unique_ptr<RawClient>> idle;
  for (int i = 0; i < 16; ++i) {
    idle.push_back(std::make_unique<RawClient>(port()));
    idle.back()->ReadAnswer();
  }
  // Once they have had their time to send it, real clients take their
  // places, one each.
  std::this_thread::sleep_for(400ms);
  for (int i = 0; i < 5; ++i)
    EXPECT_EQ(wg_.GiveCredits(s_, alice_, 1), R(0, kOk, 1, "No Error")) << i;
  EXPECT_EQ(BookOnDisk().Find(alice_)->credits, 105);

  // And the secret has a deadline of its own, shorter than a command's.
  RawClient silent(port());
  silent.ReadAnswer();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(silent.ReadAnswer(3000), "");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1800ms);
}

TEST_F(GatewayAgainstSimulatorTest, WrongSecretsAreLoggedAndSlowedDown) {
  std::vector<std::chrono::steady_clock::duration> waits;
  for (int i = 0; i < 4; ++i) {
    RawClient guessing(port());
    guessing.ReadAnswer();
    const auto start = std::chrono::steady_clock::now();
    guessing.Send("guess" + std::to_string(i) + "\r\n");
    EXPECT_EQ(guessing.ReadAnswer(3000), "Goodbye.\xF5\xF5");
    waits.push_back(std::chrono::steady_clock::now() - start);
  }
  EXPECT_GE(waits[0], 90ms);
  EXPECT_GE(waits[3], 750ms) << "each wrong secret waits longer";
  const auto warnings = Warnings();
  ASSERT_EQ(std::count_if(
                warnings.begin(), warnings.end(),
                [](const std::string& w) { return w.find("wrong secret") != std::string::npos; }),
            4);
  for (const std::string& warning : warnings)
    EXPECT_EQ(warning.find("guess"), std::string::npos) << warning;
  // The right secret still gets in at once.
  EXPECT_EQ(wg_.UserIDExists(s_, alice_).long_value, 1);
}

class BusySimulatorTest : public SimulatorTest {
 protected:
  BusySimulatorTest() : SimulatorTest(/*max_sessions=*/1) {}
};

TEST_F(BusySimulatorTest, BeyondTheSessionLimitClientsGetTheBusyGreeting) {
  morvane::WG wg;
  {
    RawClient holder(port());
    ASSERT_EQ(holder.ReadAnswer(), "Please enter your secret string to continue.\xF5\xF5");
    EXPECT_EQ(wg.UserIDExists(kTestSecret, "Alice Smith"),
              R(-501, "Error Code -501: Server too busy, try again later.", 0, ""));
    RawClient raw(port());
    EXPECT_EQ(raw.ReadAnswer(), "Sorry, already too many requests.  Try again later!\xF5\xF5");
  }
  // The holder has gone; its session ends as soon as the server sees that.
  int32_t number = -1;
  for (int attempt = 0; attempt < 50 && number != 0; ++attempt) {
    number = wg.UserIDExists(kTestSecret, "Alice Smith").error_object.number;
    if (number != 0) std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(number, 0);
}

}  // namespace
}  // namespace tools_testing
