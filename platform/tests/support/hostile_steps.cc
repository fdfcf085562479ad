// SPDX-License-Identifier: MIT

#include "hostile_steps.h"

#include <algorithm>
#include <thread>

#include "loopback.h"
#include "socket_headers.h"

namespace testing_support {
namespace {

using Clock = std::chrono::steady_clock;

// Every write leaves at once in a segment of its own instead of waiting to
// be joined with the next one.
void SendEachWriteAtOnce(int fd) {
  const int yes = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&yes), sizeof yes);
}

}  // namespace

Step Drip(std::string bytes, std::chrono::milliseconds interval) {
  std::vector<std::string> pieces;
  for (char byte : bytes) pieces.emplace_back(1, byte);
  return SendSeparately(std::move(pieces), interval);
}

Step SendSeparately(std::vector<std::string> pieces, std::chrono::milliseconds gap) {
  return Custom([pieces = std::move(pieces), gap](int fd) {
    SendEachWriteAtOnce(fd);
    for (size_t i = 0; i < pieces.size(); ++i) {
      if (i > 0) std::this_thread::sleep_for(gap);
      if (!SendAll(fd, pieces[i])) return false;
    }
    return true;
  });
}

Step Flood(size_t total, std::string pattern, std::chrono::milliseconds stall) {
  if (pattern.empty()) pattern.push_back('x');
  std::string block;
  while (block.size() < 64 * 1024) block.append(pattern);
  return Custom([total, block = std::move(block), stall](int fd) {
    size_t sent = 0;
    while (sent < total) {
      // Wait for room, but not for ever: a client that stopped reading and
      // still holds the connection ends the flood after `stall`.
      const short ready = WaitFor(fd, POLLOUT, static_cast<int>(stall.count()));
      if (ready == 0 || (ready & (POLLERR | POLLHUP)) != 0) return false;
      // The block holds the pattern a whole number of times, so starting
      // each send where the last one stopped keeps the stream seamless.
      const size_t offset = sent % block.size();
      const size_t size = std::min(block.size() - offset, total - sent);
      const long done = SendSome(fd, block.data() + offset, size, false);
      if (done == 0) continue;
      if (done < 0) return false;
      sent += static_cast<size_t>(done);
    }
    return true;
  });
}

Step HoldSilent(std::chrono::milliseconds limit) {
  return Custom([limit](int fd) {
    const Clock::time_point deadline = Clock::now() + limit;
    char sink[4096];
    for (;;) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      if (left <= 0) return true;
      if (WaitFor(fd, POLLIN, static_cast<int>(left)) == 0) return true;
      if (RecvSome(fd, sink, sizeof sink) <= 0)
        return false;  // the client closed: nothing left to hold
    }
  });
}

}  // namespace testing_support
