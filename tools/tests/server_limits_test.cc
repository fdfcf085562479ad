// SPDX-License-Identifier: MIT

// Who gets a session, and a log that never holds the serving up: the
// sharing of the slots without a server, and the log against a pipe that
// nobody reads.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include "client_table.h"
#include "event_log.h"
#include "tessaly/platform/unique_fd.h"

namespace wgsim {
namespace {

using namespace std::chrono_literals;
using Clock = ClientTable::Clock;

TEST(ClientTableTest, SharesTheSlotsOut) {
  const Clock::time_point t0 = Clock::now();
  struct Case {
    const char* what;
    int max_sessions, per_address;
    // Sessions admitted at t0 first: ones from C that sent the right
    // secret, then ones waiting for it from B and then from A.
    int waiting_from_b, waiting_from_a, proven_from_c;
    const char* newcomer;          // address of the next client
    std::chrono::milliseconds at;  // when it comes
    bool trusted;                  // the newcomer sent the right secret before
    bool admitted;
    const char* pushed_out;  // whose waiting session makes room for it
  };
  const Case cases[] = {
      {"room for all", 16, 0, 0, 5, 0, "B", 0ms, false, true, ""},
      {"the waiting share is full: one gives way at once", 16, 0, 0, 12, 0, "B", 0ms, false, true,
       "A"},
      {"a known address uses the kept quarter", 16, 0, 0, 12, 0, "B", 0ms, true, true, ""},
      {"an idle session gives way, young or old", 16, 0, 0, 12, 0, "B", 1000ms, false, true, "A"},
      {"one address holds its share at most: its own give way", 16, 3, 0, 3, 0, "A", 0ms, false,
       true, "A"},
      {"...and its own idle sessions give way", 16, 3, 0, 3, 0, "A", 1000ms, false, true, "A"},
      {"other addresses are not held up by it", 16, 3, 0, 3, 0, "B", 0ms, false, true, ""},
      {"a single slot", 1, 0, 0, 1, 0, "B", 0ms, true, true, "A"},
      {"the address with most waiting gives way, not an older one", 16, 0, 1, 11, 0, "C", 0ms,
       false, true, "A"},
      {"...nor a known one in a full house", 16, 0, 1, 11, 4, "B", 0ms, true, true, "A"},
      {"a churner at its share pushes out its own, not others", 16, 0, 1, 11, 0, "A", 0ms, false,
       true, "A"},
      {"the share counts waiting sessions only", 16, 2, 0, 0, 5, "C", 0ms, true, true, ""},
      {"a waiting session gives way to a newcomer in a full house", 4, 0, 1, 0, 3, "D", 0ms, false,
       true, "B"},
      {"every slot proven: busy", 4, 0, 0, 0, 4, "D", 0ms, true, false, ""},
  };
  for (const Case& c : cases) {
    ClientTable table({.max_sessions = c.max_sessions, .max_per_address = c.per_address});
    platform::UniqueFd sockets[2];
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    sockets[0].Reset(pair[0]);
    sockets[1].Reset(pair[1]);
    if (c.trusted) table.Proved(*table.Admit(c.newcomer, -1, t0 - 2000ms).ticket, t0 - 2000ms);
    // The known client's own session has ended; it proved the secret.
    if (c.trusted) table.Leave(1);
    for (int i = 0; i < c.proven_from_c; ++i) {
      const auto proven = table.Admit("C", -1, t0).ticket;
      ASSERT_TRUE(proven) << c.what;
      table.Proved(*proven, t0);
    }
    for (int i = 0; i < c.waiting_from_b; ++i) {
      ASSERT_TRUE(table.Admit("B", sockets[0].get(), t0).ticket) << c.what;
    }
    for (int i = 0; i < c.waiting_from_a; ++i) {
      ASSERT_TRUE(table.Admit("A", sockets[0].get(), t0).ticket) << c.what;
    }
    const auto admission = table.Admit(c.newcomer, -1, t0 + c.at);
    EXPECT_EQ(admission.ticket.has_value(), c.admitted) << c.what << ": " << admission.reason;
    EXPECT_EQ(admission.evicted, c.pushed_out) << c.what;
    if (*c.pushed_out != '\0') {
      char byte;
      EXPECT_EQ(::recv(sockets[1].get(), &byte, 1, MSG_DONTWAIT), 0) << c.what << ": shut down";
    }
  }
}

TEST(ClientTableTest, WrongSecretsWaitLongerUpToABound) {
  const Clock::time_point t0 = Clock::now();
  ClientTable table({.max_sessions = 4});
  std::vector<long long> waits;
  for (int i = 0; i < 7; ++i) {
    const uint64_t ticket = *table.Admit("A", -1, t0).ticket;
    waits.push_back(table.WrongSecret(ticket, t0).first.count());
    table.Leave(ticket);
  }
  EXPECT_EQ(waits, (std::vector<long long>{100, 200, 400, 800, 1600, 2000, 2000}));
  const uint64_t other = *table.Admit("B", -1, t0).ticket;
  EXPECT_EQ(table.WrongSecret(other, t0).first, 100ms) << "per address";
  const uint64_t later = *table.Admit("A", -1, t0 + 61s).ticket;
  EXPECT_EQ(table.WrongSecret(later, t0 + 61s).first, 100ms) << "forgotten after a quiet minute";
}

TEST(EventLogTest, ANeverReadPipeDoesNotStopTheWriters) {
  int ends[2];
  ASSERT_EQ(::pipe2(ends, O_CLOEXEC), 0);
  platform::UniqueFd read_end(ends[0]), write_end(ends[1]);
  const auto start = Clock::now();
  {
    EventLog log(write_end.get(), /*max_queued=*/64);
    log.Write("session 0 two\r\nlines");
    std::this_thread::sleep_for(50ms);  // written while the pipe has room
    for (int i = 1; i < 20'000; ++i) log.Write("session " + std::to_string(i));
    EXPECT_GT(log.dropped(), 0u);
  }  // gives up on the pipe soon
  EXPECT_LT(Clock::now() - start, 5s);

  char text[256] = {};
  ASSERT_GT(::read(read_end.get(), text, sizeof text - 1), 0);
  const std::string first(text);
  // "YYYY-MM-DDTHH:MM:SS.mmmZ wgsim: session 0 two??lines\n"
  EXPECT_EQ(first.substr(0, 2), "20");
  EXPECT_EQ(first.substr(23, first.find('\n') - 22), "Z wgsim: session 0 two??lines\n");
}

}  // namespace
}  // namespace wgsim
