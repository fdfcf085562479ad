// SPDX-License-Identifier: MIT

// Many WG objects at once, one per thread, sharing nothing but the
// settings file and the log: every result is the one its own thread asked
// for, against the simulator and against the in-process stand-in, and
// every log line is whole.

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <thread>
#include <vector>

#include "gateway_fixture.h"
#include "process.h"
#include "reply_server.h"
#include "result_printer.h"
#include "tessaly/morvane/result_codes.h"

namespace morvane::testing {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr int kThreads = 32;
constexpr int kCommandsPerThread = 40;
constexpr auto kTimeLimit = 60s;
constexpr const char* kSecret = "s3cret";
const std::string kOk(kSuccessText);

// The credits of a user ID "t<thread>n<serial>": thread * 1000 + serial,
// so that a reply meant for another thread or another call shows.
std::string CreditsReply(std::string_view userid) {
  int thread = 0, serial = 0;
  const char* begin = userid.data() + 1;
  const char* end = userid.data() + userid.size();
  const auto first = std::from_chars(begin, end, thread);
  if (userid.empty() || userid[0] != 't' || first.ptr == end || *first.ptr != 'n' ||
      std::from_chars(first.ptr + 1, end, serial).ptr != end) {
    return "No such user\r\n";
  }
  return "Credits is : " + std::to_string(thread * 1000 + serial) + "\xF5\r\n";
}

std::string Answer(std::string_view line) {
  const std::string_view command = line.substr(0, line.find(' '));
  const std::string_view userid = line.substr(line.rfind(' ') + 1);
  if (command == "NUMBEROFCREDITS") return CreditsReply(userid);
  if (command == "CURRENTCLASS") return "Current class is : " + std::string(userid) + "\xF5\r\n";
  if (command == "USERIDEXISTS") return userid.back() == '7' ? "No\r\n" : "Yes\r\n";
  return "Malformed request syntax\r\n";
}

class ConcurrencyTest : public GatewayTest {
 protected:
  ConcurrencyTest() { platform::SetDefaultSocketTimeouts({.connect = 5000ms, .receive = 5000ms}); }
};

#ifdef WGSIM_PATH

// The simulator, started as a program of its own on a free port, over an
// account file with one account per thread: "user T" has 1000 * T + 7
// credits, the password "pw-T", the key "KEY-T", is on line when T is
// even and in the class PAYING when T is odd.
class SimulatorConcurrencyTest : public ConcurrencyTest {
 protected:
  static std::string Accounts() {
    std::string text = "[classes]\nNEWUSER\nPAYING\n";
    for (int t = 0; t < kThreads; ++t) {
      const std::string n = std::to_string(t);
      text += "[user user " + n + "]\npassword = pw-" + n +
              "\ncredits = " + std::to_string(1000 * t + 7) +
              "\nprimary-class = " + (t % 2 ? "PAYING" : "NEWUSER") + "\nkeys = KEY-" + n +
              "\nonline = " + (t % 2 ? "no" : "yes") + "\n";
    }
    return text;
  }

  // Starts the simulator and points the settings at it; false when it does
  // not say where it listens.
  bool StartSimulator() {
    const std::filesystem::path accounts = windir() / "accounts.txt";
    std::ofstream(accounts) << Accounts();
    simulator_ = std::make_unique<testing_support::BackgroundProcess>(std::vector<std::string>{
        WGSIM_PATH, "--listen", "127.0.0.1:0", "--accounts", accounts.string(), "--secret", kSecret,
        "--max-sessions", std::to_string(2 * kThreads), "--timeout", "5000"});
    const std::optional<std::string> line = simulator_->ReadLine(10s);
    const std::string prefix = "listening on 127.0.0.1:";
    if (!line || line->rfind(prefix, 0) != 0) return false;
    int port = 0;
    std::from_chars(line->data() + prefix.size(), line->data() + line->size(), port);
    if (port <= 0 || port > 65535) return false;
    PointAt(static_cast<uint16_t>(port));
    return true;
  }

 private:
  std::unique_ptr<testing_support::BackgroundProcess> simulator_;
};

TEST_F(SimulatorConcurrencyTest, ThirtyTwoThreadsEachGetTheirOwnAccount) {
  ASSERT_TRUE(StartSimulator());
  constexpr int kRounds = 2;
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  std::atomic<int> wrong{0}, done{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      WG wg;
      const std::string user = "user " + std::to_string(t), n = std::to_string(t);
      int32_t credits = 1000 * t + 7;
      const auto check = [&](const CommandReturn& actual, const CommandReturn& expected) {
        if (!(actual == expected)) {
          ++wrong;
          ADD_FAILURE() << "thread " << t << ": " << ::testing::PrintToString(actual) << " not "
                        << ::testing::PrintToString(expected);
        }
        ++done;
      };
      for (int round = 0; round < kRounds && Clock::now() < deadline; ++round) {
        check(wg.NumberofCredits(kSecret, user), Result(0, kOk, credits, ""));
        check(wg.AuthUser(kSecret, user, "pw-" + n), Result(0, kOk, 1, ""));
        check(wg.AuthUser(kSecret, user, "pw-" + std::to_string(t + 1)), Result(0, kOk, 0, ""));
        check(wg.HasKey(kSecret, user, "KEY-" + n), Result(0, kOk, 1, "No Error"));
        check(wg.HasKey(kSecret, user, "KEY-" + std::to_string(t + 1)),
              Result(0, kOk, 0, "No Error"));
        check(wg.UserOnline(kSecret, user), Result(0, kOk, t % 2 ? 0 : 1, "No Error"));
        check(wg.CurrentClass(kSecret, user), Result(0, kOk, 0, t % 2 ? "PAYING" : "NEWUSER"));
        check(wg.GiveCredits(kSecret, user, t + 1), Result(0, kOk, 1, "No Error"));
        credits += t + 1;
        check(wg.UserIDExists(kSecret, user), Result(0, kOk, 1, ""));
        check(wg.UserIDExists("wrong", user),
              Result(kWrongSecret, std::string(kWrongSecretText), 0, ""));
      }
      check(wg.NumberofCredits(kSecret, user), Result(0, kOk, credits, ""));
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(done.load(), kThreads * (kRounds * 10 + 1)) << "the time limit cut the run short";
  EXPECT_EQ(wrong.load(), 0);
}

#endif  // WGSIM_PATH

TEST_F(ConcurrencyTest, ThirtyTwoThreadsEachGetTheirOwnAnswers) {
  testing_support::ReplyServer server(Answer, {.workers = kThreads});
  PointAt(server.port());
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  std::atomic<int> wrong{0}, done{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      WG wg;  // one object per thread, as a web server's pages would have
      for (int n = 0; n < kCommandsPerThread && Clock::now() < deadline; ++n) {
        const std::string user = "t" + std::to_string(t) + "n" + std::to_string(n);
        bool right = false;
        switch (n % 3) {
          case 0:
            right = wg.NumberofCredits(kSecret, user) == Result(0, kOk, t * 1000 + n, "");
            break;
          case 1: right = wg.CurrentClass(kSecret, user) == Result(0, kOk, 0, user); break;
          case 2:
            right =
                wg.UserIDExists(kSecret, user) == Result(0, kOk, user.back() == '7' ? 0 : 1, "");
            break;
        }
        // The properties hold this object's own last result.
        right = right && wg.error_number() == 0;
        if (!right) ++wrong;
        ++done;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(done.load(), kThreads * kCommandsPerThread) << "the time limit cut the run short";
  EXPECT_EQ(wrong.load(), 0);
  EXPECT_EQ(server.commands(), static_cast<uint64_t>(done.load()));
}

class LogitConcurrencyTest : public GatewayTest {
 protected:
  LogitConcurrencyTest() : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(windir());
  }
  ~LogitConcurrencyTest() override { std::filesystem::current_path(previous_); }

 private:
  std::filesystem::path previous_;
};

// The text thread `t` logs as its line `n`: long enough that a torn write
// would show, and different for every line.
std::string LogText(int t, int n) {
  const std::string tag = "T" + std::to_string(t) + "L" + std::to_string(n);
  std::string text = tag + " ";
  const size_t length = 200 + static_cast<size_t>((t * 131 + n * 17) % 6000);
  while (text.size() < length) text += static_cast<char>('a' + (text.size() + t + n) % 26);
  return text + " " + tag;
}

TEST_F(LogitConcurrencyTest, LinesFromManyThreadsAreEachWhole) {
  constexpr int kLogThreads = 16;
  constexpr int kLinesPerThread = 100;
  const Clock::time_point deadline = Clock::now() + kTimeLimit;
  std::vector<std::thread> threads;
  for (int t = 0; t < kLogThreads; ++t) {
    threads.emplace_back([t, deadline] {
      WG wg;
      for (int n = 0; n < kLinesPerThread && Clock::now() < deadline; ++n) {
        std::string data = LogText(t, n);
        wg.Logit(data);
      }
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::ifstream in(kLogFileName, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  const std::string log = content.str();

  // Every record: a double quote, the date and time, " - ", the text, a
  // double quote, CR LF; each text exactly once.
  std::map<std::string, int> seen;
  size_t start = 0, records = 0, torn = 0;
  while (start < log.size()) {
    const size_t end = log.find("\r\n", start);
    ASSERT_NE(end, std::string::npos) << "the log ends inside a line";
    const std::string_view record(log.data() + start, end - start);
    start = end + 2;
    ++records;
    const size_t dash = record.find(" - ");
    if (record.size() < 2 || record.front() != '"' || record.back() != '"' ||
        dash == std::string_view::npos) {
      ++torn;
      continue;
    }
    ++seen[std::string(record.substr(dash + 3, record.size() - dash - 4))];
  }
  EXPECT_EQ(records, static_cast<size_t>(kLogThreads * kLinesPerThread));
  EXPECT_EQ(torn, 0u);
  size_t intact = 0;
  for (int t = 0; t < kLogThreads; ++t) {
    for (int n = 0; n < kLinesPerThread; ++n) {
      const auto found = seen.find(LogText(t, n));
      if (found != seen.end() && found->second == 1) ++intact;
    }
  }
  EXPECT_EQ(intact, static_cast<size_t>(kLogThreads * kLinesPerThread));
}

}  // namespace
}  // namespace morvane::testing
