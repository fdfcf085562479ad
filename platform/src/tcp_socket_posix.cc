// SPDX-License-Identifier: MIT

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <string_view>

#include "answer_end.h"
#include "host_lookup.h"
#include "tcp_socket_backend.h"
#include "tcp_socket_common.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/unique_fd.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// How much later than the exchange's deadline the socket's own receive
// timeout may end before it is shortened. Within this, a recv that waits in
// the kernel needs no extra system call; the kernel's timer is coarser
// than a millisecond anyway.
constexpr microseconds kKernelTimerSlack = milliseconds(10);

// Waits until `fd` is ready for `events` or `timeout_ms` passes.
// True when ready (or in error, which the next call on it reports).
bool WaitFor(int fd, short events, int timeout_ms) {
  pollfd entry{fd, events, 0};
  const Clock::time_point deadline = Clock::now() + milliseconds(timeout_ms);
  for (;;) {
    const int ready = ::poll(&entry, 1, timeout_ms);
    if (ready > 0) return true;
    if (ready == 0 || errno != EINTR) return false;
    timeout_ms = MillisecondsUntil(deadline);
  }
}

// `duration` as a socket timeout. A zero timeval would mean "wait for
// ever", so anything shorter than a microsecond becomes one.
timeval AsTimeval(microseconds duration) {
  const auto micros = std::max<int64_t>(1, duration.count());
  return {static_cast<time_t>(micros / 1'000'000), static_cast<suseconds_t>(micros % 1'000'000)};
}

bool SetTimeout(int fd, int option, microseconds duration) {
  const timeval value = AsTimeval(duration);
  return ::setsockopt(fd, SOL_SOCKET, option, &value, sizeof value) == 0;
}

class PosixTcpSocket final : public TcpSocket {
 public:
  PosixTcpSocket() : timeouts_(DefaultSocketTimeouts()) {}

  void SetLocalHost(const std::string& host) override { local_host_ = host; }
  void SetRemoteHost(const std::string& host) override { remote_host_ = host; }
  void SetRemotePort(int32_t port) override { remote_port_ = port; }
  void SetTimeouts(const SocketTimeouts& timeouts) override {
    // A connected socket's own receive timeout is brought within the new
    // deadline by the next Receive; a longer one is waited out in poll.
    timeouts_ = ClampSocketTimeouts(timeouts);
  }

  int16_t Connect() override {
    if (fd_ || remote_port_ < 1 || remote_port_ > 65535) return kSocketFailed;
    const Clock::time_point deadline = Clock::now() + timeouts_.connect;
    const auto remote = ResolveIPv4(remote_host_, deadline);
    if (!remote) return kSocketFailed;
    // A blocking socket whose waits are bounded by the socket's own
    // timeouts: a call that waits sleeps in that call, with no poll before
    // it and no high-resolution timer armed for it. Connect is bounded by
    // the send timeout, each first read of an answer by the receive
    // timeout, both kept within their call's deadline.
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) return kSocketFailed;
    if (!local_host_.empty()) {
      const auto local = ResolveIPv4(local_host_, deadline);
      if (!local) return kSocketFailed;
      sockaddr_in from{};
      from.sin_family = AF_INET;
      std::memcpy(&from.sin_addr, local->data(), local->size());
      // Bind the address only and leave the port to connect, which picks
      // one knowing the destination. A bind to port 0 would search the
      // whole range for a port free towards every destination: slow once
      // many connections have come and gone, and it fails outright when
      // their lingering ends hold the range.
      const int address_only = 1;
      ::setsockopt(fd.get(), IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &address_only,
                   sizeof address_only);
      if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&from), sizeof from) != 0) {
        return kSocketFailed;
      }
    }
    sockaddr_in to{};
    to.sin_family = AF_INET;
    std::memcpy(&to.sin_addr, remote->data(), remote->size());
    to.sin_port = htons(static_cast<uint16_t>(remote_port_));
    const auto left = std::chrono::duration_cast<microseconds>(deadline - Clock::now());
    if (left <= microseconds::zero() || !SetTimeout(fd.get(), SO_SNDTIMEO, left)) {
      return kSocketFailed;
    }
    if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) != 0) {
      // EINPROGRESS: the connect timeout passed. EINTR: a signal came; the
      // attempt goes on, and its outcome is awaited for the time left.
      if (errno != EINTR) return kSocketFailed;
      if (!WaitFor(fd.get(), POLLOUT, MillisecondsUntil(deadline))) return kSocketFailed;
      int error = 0;
      socklen_t length = sizeof error;
      if (::getsockopt(fd.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0) {
        return kSocketFailed;
      }
    }
    connected_at_ = Clock::now();
    armed_receive_ = timeouts_.receive;
    if (!SetTimeout(fd.get(), SO_RCVTIMEO, armed_receive_)) return kSocketFailed;
    fd_ = std::move(fd);
    return kSocketOk;
  }

  int16_t Receive(std::string& data, int16_t mode) override {
    data.clear();
    if (!fd_) return kSocketFailed;
    const Clock::time_point deadline = ExchangeDeadline();
    std::string bytes;
    bool has_content = false;
    char chunk[kSocketReadChunk];
    // The first read waits in recv itself, under the socket's own receive
    // timeout, which ends by the deadline. Later reads, and a first read
    // that a signal or that timeout broke off, wait in poll for the time
    // left, or for the quiet gap when that is on and ends first.
    bool wait_in_recv = LetRecvWaitUntil(deadline);
    for (;;) {
      if (!wait_in_recv) {
        const int left = MillisecondsUntil(deadline);
        const int gap = static_cast<int>(timeouts_.quiet_gap.count());
        const bool gap_first = has_content && gap > 0 && gap < left;
        if (!WaitFor(fd_.get(), POLLIN, gap_first ? gap : left)) {
          if (gap_first) break;  // opted in: what came is taken as the answer
          return kSocketFailed;
        }
      }
      const size_t room = std::min(sizeof chunk, kMaxReplyBytes - bytes.size());
      const ssize_t got = ::recv(fd_.get(), chunk, room, wait_in_recv ? 0 : MSG_DONTWAIT);
      wait_in_recv = false;
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      // The peer closed, in order or by reset, before the answer was
      // complete: a piece of an answer must not pass for a whole one.
      if (got <= 0) return kSocketFailed;
      const std::string_view piece(chunk, static_cast<size_t>(got));
      has_content = has_content || HoldsContent(piece);
      if (bytes.empty() && has_content && EndsAnswer(piece, mode)) {
        // The usual case, a whole answer in one read: converted straight
        // from the chunk, without gathering it first.
        data = AnsiToUtf8(piece);
        return kSocketOk;
      }
      bytes.append(piece);
      if (has_content && EndsAnswer(bytes, mode)) break;
      if (bytes.size() >= kMaxReplyBytes) return kSocketFailed;
    }
    data = AnsiToUtf8(bytes);
    return kSocketOk;
  }

  int16_t Send(const std::string& line) override {
    if (!fd_) return kSocketFailed;
    std::string converted;
    const std::string_view bytes = WireBytes(line, converted);
    const Clock::time_point deadline = ExchangeDeadline();
    size_t sent = 0;
    while (sent < bytes.size()) {
      // Without waiting: a line fits the socket's buffer at once, and only
      // when it does not is there a wait, in poll, for the time left.
      const ssize_t done =
          ::send(fd_.get(), bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL | MSG_DONTWAIT);
      if (done > 0) {
        sent += static_cast<size_t>(done);
      } else if (done < 0 && errno == EINTR) {
        continue;
      } else if (done < 0 && errno == EAGAIN) {
        if (!WaitFor(fd_.get(), POLLOUT, MillisecondsUntil(deadline))) return kSocketFailed;
      } else {
        return kSocketFailed;
      }
    }
    return kSocketOk;
  }

  void Close() override { fd_.Reset(); }

  std::string Describe() const override {
    return DescribeSocket(local_host_, remote_host_, remote_port_, fd_.valid());
  }

 private:
  // When the exchange on the connection must be over.
  Clock::time_point ExchangeDeadline() const { return connected_at_ + timeouts_.receive; }

  // Whether the next recv may wait in the kernel: true when the deadline
  // has not passed, once the socket's own receive timeout ends by it
  // (within kKernelTimerSlack), shortened for that if need be.
  bool LetRecvWaitUntil(Clock::time_point deadline) {
    const auto left = std::chrono::duration_cast<microseconds>(deadline - Clock::now());
    if (left <= microseconds::zero()) return false;
    if (armed_receive_ > left + kKernelTimerSlack) {
      if (!SetTimeout(fd_.get(), SO_RCVTIMEO, left)) return false;
      armed_receive_ = left;
    }
    return true;
  }

  std::string local_host_;
  std::string remote_host_;
  int32_t remote_port_ = 0;
  SocketTimeouts timeouts_;
  UniqueFd fd_;
  // When Connect made the connection.
  Clock::time_point connected_at_;
  // The receive timeout the socket itself holds (SO_RCVTIMEO).
  microseconds armed_receive_{0};
};

}  // namespace

std::shared_ptr<Component> MakeSystemTcpSocket() { return std::make_shared<PosixTcpSocket>(); }

}  // namespace platform
