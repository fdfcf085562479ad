#include "tcp_socket_posix.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <mutex>
#include <optional>

#include "platform/ansi_text.h"
#include "platform/unique_fd.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

std::mutex g_defaults_mutex;
SocketTimeouts g_defaults;

constexpr char kEndOfValueByte = static_cast<char>(0xF5);

// The IPv4 address of a dotted address or host name, or nullopt.
std::optional<in_addr> ResolveIPv4(const std::string& host) {
  in_addr address{};
  if (::inet_pton(AF_INET, host.c_str(), &address) == 1) return address;
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(host.c_str(), nullptr, &hints, &found) != 0 || found == nullptr) {
    return std::nullopt;
  }
  address = reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
  ::freeaddrinfo(found);
  return address;
}

// Milliseconds from now until `deadline`, at least 0, for poll.
int MillisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

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
timeval AsTimeval(milliseconds duration) {
  const auto micros = std::max<int64_t>(
      1, std::chrono::duration_cast<std::chrono::microseconds>(duration).count());
  return {static_cast<time_t>(micros / 1'000'000), static_cast<suseconds_t>(micros % 1'000'000)};
}

bool SetTimeout(int fd, int option, milliseconds duration) {
  const timeval value = AsTimeval(duration);
  return ::setsockopt(fd, SOL_SOCKET, option, &value, sizeof value) == 0;
}

// Whether a received answer is complete: it ends with CR LF, or with the
// two end-of-value bytes the server puts after its prompts. A single
// trailing end-of-value byte is not enough: the second may still be on its
// way in a segment of its own (a value's end byte is followed by CR LF).
bool EndsAnswer(const std::string& bytes) {
  const size_t size = bytes.size();
  if (size < 2) return false;
  const char last = bytes[size - 1], before = bytes[size - 2];
  return (before == '\r' && last == '\n') ||
         (before == kEndOfValueByte && last == kEndOfValueByte);
}

class PosixTcpSocket final : public TcpSocket {
 public:
  PosixTcpSocket() : timeouts_(DefaultSocketTimeouts()) {}

  void SetLocalHost(const std::string& host) override { local_host_ = host; }
  void SetRemoteHost(const std::string& host) override { remote_host_ = host; }
  void SetRemotePort(int32_t port) override { remote_port_ = port; }
  void SetTimeouts(const SocketTimeouts& timeouts) override {
    timeouts_ = timeouts;
    if (fd_) SetTimeout(fd_.get(), SO_RCVTIMEO, timeouts_.receive);
  }

  int16_t Connect() override {
    if (fd_ || remote_port_ < 1 || remote_port_ > 65535) return kSocketFailed;
    const auto remote = ResolveIPv4(remote_host_);
    if (!remote) return kSocketFailed;
    // A blocking socket whose waits are bounded by the socket's own
    // timeouts: a call that waits sleeps in that call, with no poll before
    // it and no high-resolution timer armed for it. Connect is bounded by
    // the send timeout, each first read of an answer by the receive timeout.
    UniqueFd fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (!fd) return kSocketFailed;
    if (!local_host_.empty()) {
      const auto local = ResolveIPv4(local_host_);
      if (!local) return kSocketFailed;
      sockaddr_in from{};
      from.sin_family = AF_INET;
      from.sin_addr = *local;
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
    to.sin_addr = *remote;
    to.sin_port = htons(static_cast<uint16_t>(remote_port_));
    const Clock::time_point deadline = Clock::now() + timeouts_.connect;
    if (!SetTimeout(fd.get(), SO_SNDTIMEO, timeouts_.connect)) return kSocketFailed;
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
    if (!SetTimeout(fd.get(), SO_RCVTIMEO, timeouts_.receive)) return kSocketFailed;
    fd_ = std::move(fd);
    return kSocketOk;
  }

  int16_t Receive(std::string& data, int16_t /*mode*/) override {
    data.clear();
    if (!fd_) return kSocketFailed;
    const Clock::time_point deadline = Clock::now() + timeouts_.receive;
    std::string bytes;
    char chunk[16 * 1024];
    // The first read waits in recv itself, for up to the receive timeout
    // (the socket's SO_RCVTIMEO). Later reads, and a first read that a
    // signal broke off, wait in poll: after the first byte only the quiet
    // gap, always within the receive timeout since the call.
    bool wait_in_recv = true;
    for (;;) {
      if (!wait_in_recv) {
        int wait = MillisecondsUntil(deadline);
        if (!bytes.empty()) wait = std::min(wait, static_cast<int>(timeouts_.quiet_gap.count()));
        if (!WaitFor(fd_.get(), POLLIN, wait)) break;
      }
      const size_t room = std::min(sizeof chunk, kMaxReplyBytes - bytes.size());
      const ssize_t got = ::recv(fd_.get(), chunk, room, wait_in_recv ? 0 : MSG_DONTWAIT);
      if (got < 0 && wait_in_recv && errno == EAGAIN) break;  // the receive timeout passed
      wait_in_recv = false;
      if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
      if (got == 0) break;  // the peer closed: what came is the answer
      if (got < 0) {
        // The connection broke (was reset) before the answer ended: what
        // came is a piece of an answer, which must not pass for a whole one.
        bytes.clear();
        break;
      }
      bytes.append(chunk, static_cast<size_t>(got));
      if (EndsAnswer(bytes) || bytes.size() >= kMaxReplyBytes) break;
    }
    if (bytes.empty()) return kSocketFailed;
    data = AnsiToUtf8(bytes);
    return kSocketOk;
  }

  int16_t Send(const std::string& line) override {
    if (!fd_) return kSocketFailed;
    const std::string bytes = Utf8ToAnsi(line);
    const Clock::time_point deadline = Clock::now() + timeouts_.receive;
    size_t sent = 0;
    while (sent < bytes.size()) {
      // Without waiting: a line fits the socket's buffer at once, and only
      // when it does not is there a wait, in poll, for the time left.
      const ssize_t done = ::send(fd_.get(), bytes.data() + sent, bytes.size() - sent,
                                  MSG_NOSIGNAL | MSG_DONTWAIT);
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
    return std::string(kTcpSocketProgId) + " local host \"" + local_host_ +
           "\", remote host \"" + remote_host_ + "\", remote port " +
           std::to_string(remote_port_) + (fd_ ? ", connected" : ", not connected");
  }

 private:
  std::string local_host_;
  std::string remote_host_;
  int32_t remote_port_ = 0;
  SocketTimeouts timeouts_;
  UniqueFd fd_;
};

}  // namespace

SocketTimeouts DefaultSocketTimeouts() {
  std::lock_guard lock(g_defaults_mutex);
  return g_defaults;
}

void SetDefaultSocketTimeouts(const SocketTimeouts& timeouts) {
  std::lock_guard lock(g_defaults_mutex);
  g_defaults = timeouts;
}

std::shared_ptr<Component> MakePosixTcpSocket() { return std::make_shared<PosixTcpSocket>(); }

}  // namespace platform
