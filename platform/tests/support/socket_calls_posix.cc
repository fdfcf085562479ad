// SPDX-License-Identifier: MIT

#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "socket_calls.h"
#include "socket_headers.h"

namespace testing_support {

void CloseSocket(int socket) { ::close(socket); }

UniqueSocket NewTcpSocket(bool non_blocking) {
  return UniqueSocket(
      ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | (non_blocking ? SOCK_NONBLOCK : 0), 0));
}

UniqueSocket AcceptClient(int listener) {
  return UniqueSocket(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
}

short WaitFor(int socket, short events, int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, timeout_ms);
    if (ready > 0) return entry.revents;
    if (ready == 0 || errno != EINTR) return 0;
    if (timeout_ms >= 0) {
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
      timeout_ms = left > 0 ? static_cast<int>(left) : 0;
    }
  }
}

long SendSome(int socket, const char* data, size_t size, bool wait) {
  for (;;) {
    const ssize_t done = ::send(socket, data, size, MSG_NOSIGNAL | (wait ? 0 : MSG_DONTWAIT));
    if (done >= 0) return done;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
  }
}

long RecvSome(int socket, char* buffer, size_t size) {
  for (;;) {
    const ssize_t got = ::recv(socket, buffer, size, 0);
    if (got < 0 && errno == EINTR) continue;
    return got;
  }
}

bool ConnectUnderWay() { return errno == EINPROGRESS; }

}  // namespace testing_support
