// SPDX-License-Identifier: MIT

// The real gateway (WG) against the simulator over loopback: every command
// gets the answer a script page expects, changes land in the account file,
// and the server stays fair to many clients at once.

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <iostream>
#include <map>
#include <thread>
#include <vector>

#include "support/raw_client.h"
#include "support/simulator_fixture.h"
#include "tessaly/morvane/result_codes.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/morvane/wg.h"
#include "tessaly/platform/file_system.h"
#include "tessaly/platform/unique_fd.h"

namespace tools_testing {
namespace {

using morvane::CommandReturn;
using namespace std::chrono_literals;

const std::string kOk(morvane::kSuccessText);

CommandReturn R(int32_t number, std::string description, int32_t long_value, std::string text) {
  return {{number, std::move(description)}, long_value, std::move(text)};
}

struct ChurnCount {
  int connections = 0;
  int closed_by_server = 0;
  std::chrono::steady_clock::duration took{};
};

// Connects to 127.0.0.1:`port` `per_second` times a second, never sends a
// thing, and closes each connection once the server has; at most 64 are
// open at once. Stops when `done` is set or after `longest`.
ChurnCount Churn(uint16_t port, int per_second, std::chrono::seconds longest,
                 const std::atomic<bool>& done) {
  using Clock = std::chrono::steady_clock;
  constexpr size_t kMostOpen = 64;
  ChurnCount count;
  std::vector<platform::UniqueFd> open;
  const auto start = Clock::now();
  const auto gap = std::chrono::microseconds(1'000'000 / per_second);
  auto next = start;
  while (!done && Clock::now() - start < longest) {
    if (Clock::now() >= next && open.size() < kMostOpen) {
      // Behind by a few at most: no burst after a wait at the bound.
      next = std::max(next, Clock::now() - 10 * gap) + gap;
      platform::UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(port);
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
          errno == EINPROGRESS) {
        open.push_back(std::move(fd));
        ++count.connections;
      }
    }
    std::vector<pollfd> entries;
    for (const platform::UniqueFd& fd : open) entries.push_back({fd.get(), POLLIN, 0});
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now());
    const int64_t wait_ms = open.size() < kMostOpen ? std::clamp<int64_t>(wait.count(), 0, 5) : 5;
    ::poll(entries.data(), entries.size(), static_cast<int>(wait_ms));
    for (size_t i = entries.size(); i-- > 0;) {
      if (entries[i].revents == 0) continue;
      char bytes[256];
      const ssize_t got = ::recv(entries[i].fd, bytes, sizeof bytes, MSG_DONTWAIT);
      if (got > 0 || (got < 0 && errno == EAGAIN)) continue;  // the greeting, or not yet
      ++count.closed_by_server;
      open.erase(open.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
  count.took = Clock::now() - start;
  return count;
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
    // A client that has sent the secret keeps its session.
    RawClient holder(port());
    ASSERT_EQ(holder.ReadAnswer(), "Please enter your secret string to continue.\xF5\xF5");
    holder.Send(std::string(kTestSecret) + "\r\n");
    ASSERT_EQ(holder.ReadAnswer(), "What is your wish my master?\xF5\xF5");
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

  // One still waiting for the secret gives its slot up at once. (The last
  // call's session may still be leaving the table.)
  std::unique_ptr<RawClient> waiting;
  for (int attempt = 0; attempt < 50; ++attempt) {
    waiting = std::make_unique<RawClient>(port());
    if (waiting->ReadAnswer() == "Please enter your secret string to continue.\xF5\xF5") break;
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(wg.UserIDExists(kTestSecret, "Alice Smith"), R(0, kOk, 1, ""));
  EXPECT_EQ(waiting->ReadAnswer(), "") << "closed";
}

// A client that never sends the secret and reconnects as soon as it is
// pushed out, 300 times a second from 127.0.0.1, against 40 calls in 2 s
// of a gateway on another loopback address or on the same one. Both counts are
// bounded, and so is the time: the churner stops with the calls, or after
// 60 s.
TEST_F(GatewayAgainstSimulatorTest, ChurningClientsDoNotLockTheGatewayOut) {
  struct Case {
    const char* gateway_address;
    int least_calls_through;  // of 40
  };
  const Case cases[] = {
      {"127.0.0.2", 40},  // another address: every call
      {"127.0.0.1", 21},  // the churner's own: most of them
  };
  constexpr int kCalls = 40;
  for (const Case& c : cases) {
    morvane::WriteSettingsRecord(morvane::SettingsFilePath(),
                                 morvane::SettingsRecord::FromValues("127.0.0.1", c.gateway_address,
                                                                     std::to_string(port())));
    std::atomic<bool> done{false};
    ChurnCount churned;
    std::thread churner([&] { churned = Churn(port(), 300, 60s, done); });
    std::this_thread::sleep_for(300ms);  // the churner fills its share first

    int through = 0;
    std::map<int32_t, int> failures;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < kCalls; ++i) {
      // Spread over two seconds, so that the calls meet the churn.
      std::this_thread::sleep_until(start + i * 50ms);
      const CommandReturn result = wg_.UserIDExists(s_, alice_);
      if (result == R(0, kOk, 1, "")) {
        ++through;
      } else {
        ++failures[result.error_object.number];
      }
    }
    const auto calls_took = std::chrono::steady_clock::now() - start;
    done = true;
    churner.join();

    std::string failed;
    for (const auto& [number, count] : failures) {
      failed += " " + std::to_string(count) + " x " + std::to_string(number);
    }
    const double seconds = std::chrono::duration<double>(churned.took).count();
    std::cout << "gateway on " << c.gateway_address << ": " << through << " of " << kCalls
              << " calls through in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(calls_took).count() << " ms"
              << (failed.empty() ? "" : ", failed:" + failed) << "; churner " << churned.connections
              << " connections in " << seconds << " s (" << churned.connections / seconds << "/s), "
              << churned.closed_by_server << " closed by the server\n";
    EXPECT_GE(through, c.least_calls_through) << c.gateway_address << failed;
    EXPECT_GT(churned.closed_by_server, kCalls) << "the churner was pushed out and came back";
  }
}

}  // namespace
}  // namespace tools_testing
