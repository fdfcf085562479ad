// SPDX-License-Identifier: MIT

// The socket component on Winsock. The socket is non-blocking from the
// start: every wait is a select bounded by the call's deadline, so no
// operation can hold the caller past its timeout.

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "answer_end.h"
#include "host_lookup.h"
#include "tcp_socket_backend.h"
#include "tcp_socket_common.h"
#include "tessaly/platform/ansi_text.h"
#include "winsock_start_win.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;

// An owned Winsock socket, closed when its owner goes.
class UniqueSocket {
 public:
  UniqueSocket() = default;
  explicit UniqueSocket(SOCKET socket) : socket_(socket) {}
  UniqueSocket(UniqueSocket&& other) noexcept
      : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}
  UniqueSocket& operator=(UniqueSocket&& other) noexcept {
    if (this != &other) {
      Reset();
      socket_ = std::exchange(other.socket_, INVALID_SOCKET);
    }
    return *this;
  }
  UniqueSocket(const UniqueSocket&) = delete;
  UniqueSocket& operator=(const UniqueSocket&) = delete;
  ~UniqueSocket() { Reset(); }

  SOCKET get() const { return socket_; }
  explicit operator bool() const { return socket_ != INVALID_SOCKET; }
  void Reset() {
    if (socket_ != INVALID_SOCKET) ::closesocket(std::exchange(socket_, INVALID_SOCKET));
  }

 private:
  SOCKET socket_ = INVALID_SOCKET;
};

enum class Readiness { kRead, kWrite };

// Waits until `socket` is ready for `readiness` or `timeout_ms` passes.
// True when ready, or in error, which the next call on it reports (a
// connect that failed shows in the exception set only).
bool WaitFor(SOCKET socket, Readiness readiness, int timeout_ms) {
  fd_set ready;
  fd_set failed;
  FD_ZERO(&ready);
  FD_ZERO(&failed);
  FD_SET(socket, &ready);
  FD_SET(socket, &failed);
  timeval timeout{timeout_ms / 1000, (timeout_ms % 1000) * 1000};
  const int count = ::select(0, readiness == Readiness::kRead ? &ready : nullptr,
                             readiness == Readiness::kWrite ? &ready : nullptr, &failed, &timeout);
  return count > 0;
}

sockaddr_in SocketAddress(const IPv4Address& address, uint16_t port) {
  sockaddr_in result{};
  result.sin_family = AF_INET;
  std::memcpy(&result.sin_addr, address.data(), address.size());
  result.sin_port = ::htons(port);
  return result;
}

bool WouldBlock() { return ::WSAGetLastError() == WSAEWOULDBLOCK; }

class WinsockTcpSocket final : public TcpSocket {
 public:
  WinsockTcpSocket() : timeouts_(DefaultSocketTimeouts()) {}

  void SetLocalHost(const std::string& host) override { local_host_ = host; }
  void SetRemoteHost(const std::string& host) override { remote_host_ = host; }
  void SetRemotePort(int32_t port) override { remote_port_ = port; }
  void SetTimeouts(const SocketTimeouts& timeouts) override {
    timeouts_ = ClampSocketTimeouts(timeouts);
  }

  int16_t Connect() override {
    if (socket_ || remote_port_ < 1 || remote_port_ > 65535) return kSocketFailed;
    if (!StartWinsock()) return kSocketFailed;
    const Clock::time_point deadline = Clock::now() + timeouts_.connect;
    const auto remote = ResolveIPv4(remote_host_, deadline);
    if (!remote) return kSocketFailed;
    UniqueSocket socket(::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    if (!socket) return kSocketFailed;
    // Programs this process starts do not inherit the connection.
    ::SetHandleInformation(reinterpret_cast<HANDLE>(socket.get()), HANDLE_FLAG_INHERIT, 0);
    u_long non_blocking = 1;
    if (::ioctlsocket(socket.get(), FIONBIO, &non_blocking) != 0) return kSocketFailed;
    if (!local_host_.empty()) {
      const auto local = ResolveIPv4(local_host_, deadline);
      if (!local) return kSocketFailed;
      const sockaddr_in from = SocketAddress(*local, 0);
      if (::bind(socket.get(), reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0) {
        return kSocketFailed;
      }
    }
    const sockaddr_in to = SocketAddress(*remote, static_cast<uint16_t>(remote_port_));
    if (::connect(socket.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
      if (!WouldBlock()) return kSocketFailed;
      if (!WaitFor(socket.get(), Readiness::kWrite, MillisecondsUntil(deadline))) {
        return kSocketFailed;
      }
      int error = 0;
      int length = sizeof error;
      if (::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error),
                       &length) != 0 ||
          error != 0) {
        return kSocketFailed;
      }
    }
    connected_at_ = Clock::now();
    socket_ = std::move(socket);
    return kSocketOk;
  }

  int16_t Receive(std::string& data, int16_t mode) override {
    data.clear();
    if (!socket_) return kSocketFailed;
    const Clock::time_point deadline = ExchangeDeadline();
    std::string bytes;
    bool has_content = false;
    char chunk[kSocketReadChunk];
    for (;;) {
      // Wait for the time left, or for the quiet gap when that is on and
      // ends first.
      const int left = MillisecondsUntil(deadline);
      const int gap = static_cast<int>(timeouts_.quiet_gap.count());
      const bool gap_first = has_content && gap > 0 && gap < left;
      if (!WaitFor(socket_.get(), Readiness::kRead, gap_first ? gap : left)) {
        if (gap_first) break;  // opted in: what came is taken as the answer
        return kSocketFailed;
      }
      const size_t room = std::min(sizeof chunk, kMaxReplyBytes - bytes.size());
      const int got = ::recv(socket_.get(), chunk, static_cast<int>(room), 0);
      if (got == SOCKET_ERROR && WouldBlock()) continue;
      // The peer closed, in order or by reset, before the answer was
      // complete: a piece of an answer must not pass for a whole one.
      if (got <= 0) return kSocketFailed;
      const std::string_view piece(chunk, static_cast<size_t>(got));
      has_content = has_content || HoldsContent(piece);
      bytes.append(piece);
      if (has_content && EndsAnswer(bytes, mode)) break;
      if (bytes.size() >= kMaxReplyBytes) return kSocketFailed;
    }
    data = AnsiToUtf8(bytes);
    return kSocketOk;
  }

  int16_t Send(const std::string& line) override {
    if (!socket_) return kSocketFailed;
    std::string converted;
    const std::string_view bytes = WireBytes(line, converted);
    const Clock::time_point deadline = ExchangeDeadline();
    size_t sent = 0;
    while (sent < bytes.size()) {
      const int done =
          ::send(socket_.get(), bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
      if (done > 0) {
        sent += static_cast<size_t>(done);
      } else if (done == SOCKET_ERROR && WouldBlock()) {
        if (!WaitFor(socket_.get(), Readiness::kWrite, MillisecondsUntil(deadline))) {
          return kSocketFailed;
        }
      } else {
        return kSocketFailed;
      }
    }
    return kSocketOk;
  }

  void Close() override { socket_.Reset(); }

  std::string Describe() const override {
    return DescribeSocket(local_host_, remote_host_, remote_port_, static_cast<bool>(socket_));
  }

 private:
  // When the exchange on the connection must be over.
  Clock::time_point ExchangeDeadline() const { return connected_at_ + timeouts_.receive; }

  std::string local_host_;
  std::string remote_host_;
  int32_t remote_port_ = 0;
  SocketTimeouts timeouts_;
  UniqueSocket socket_;
  // When Connect made the connection.
  Clock::time_point connected_at_;
};

}  // namespace

std::shared_ptr<Component> MakeSystemTcpSocket() { return std::make_shared<WinsockTcpSocket>(); }

}  // namespace platform
