// Many WG objects at once, one per thread, sharing nothing but the
// settings file and the log: every result is the one its own thread asked
// for, and every log line is whole.

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <fstream>
#include <map>
#include <sstream>
#include <thread>
#include <vector>

#include "gateway_fixture.h"
#include "morvane/result_codes.h"
#include "reply_server.h"
#include "result_printer.h"

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
  ConcurrencyTest() {
    platform::SetDefaultSocketTimeouts({.connect = 5000ms, .receive = 5000ms, .quiet_gap = 50ms});
  }
};

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
          case 1:
            right = wg.CurrentClass(kSecret, user) == Result(0, kOk, 0, user);
            break;
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
