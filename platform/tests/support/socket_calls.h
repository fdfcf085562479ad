// SPDX-License-Identifier: MIT

// The socket calls of the test servers whose form differs between POSIX
// sockets and Winsock: closing, waiting, sending and receiving without a
// signal, and the error that says "try again". Everything else the servers
// do is the same on both and lives in the shared sources.
//
// A socket is an int on both systems (a Winsock handle fits in one). The
// system's socket headers come from socket_headers.h, which only sources
// include: on Windows they bring <windows.h>, whose macros (RegisterClass
// among them) must not reach the tests.

#ifndef PLATFORM_TESTS_SUPPORT_SOCKET_CALLS_H_
#define PLATFORM_TESTS_SUPPORT_SOCKET_CALLS_H_

#include <cstddef>
#include <utility>

namespace testing_support {

// Closes a socket.
void CloseSocket(int socket);

// An owned socket, closed when its owner goes.
class UniqueSocket {
 public:
  UniqueSocket() = default;
  explicit UniqueSocket(int socket) : socket_(socket) {}
  UniqueSocket(UniqueSocket&& other) noexcept : socket_(std::exchange(other.socket_, -1)) {}
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.socket_, -1));
    return *this;
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;
  ~UniqueSocket() { Reset(); }

  int get() const { return socket_; }
  bool valid() const { return socket_ >= 0; }
  explicit operator bool() const { return valid(); }
  void Reset(int socket = -1) {
    if (socket_ >= 0) CloseSocket(socket_);
    socket_ = socket;
  }

 private:
  int socket_ = -1;
};

// A new TCP socket, not inherited by programs the process starts;
// non-blocking when asked. Invalid when none can be made.
UniqueSocket NewTcpSocket(bool non_blocking = false);

// The next client of the listening socket `listener`, or an invalid socket
// when accept fails.
UniqueSocket AcceptClient(int listener);

// Waits until `socket` is ready for `events` (POLLIN, POLLOUT) or
// `timeout_ms` passes (-1: no limit), going on after signals. Returns the
// events that happened (POLLERR and POLLHUP among them), 0 on timeout.
short WaitFor(int socket, short events, int timeout_ms);

// Sends up to `size` bytes, never raising a signal when the peer has
// gone. With `wait` false it takes only what fits at once. Returns the
// number sent, 0 when nothing fits without waiting, -1 when the
// connection broke.
long SendSome(int socket, const char* data, size_t size, bool wait);

// Receives up to `size` bytes, waiting for some. Returns the number
// received, 0 when the peer closed, -1 on an error.
long RecvSome(int socket, char* buffer, size_t size);

// Whether a connect on a non-blocking socket failed only because it is
// still under way.
bool ConnectUnderWay();

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_SOCKET_CALLS_H_
