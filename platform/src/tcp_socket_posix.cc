// SPDX-License-Identifier: MIT

#include "tcp_socket_posix.h"

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>

#include "answer_end.h"
#include "ascii_words.h"
#include "tessaly/platform/ansi_text.h"
#include "tessaly/platform/unique_fd.h"

namespace platform {
namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::microseconds;
using std::chrono::milliseconds;

// Host names looked up at the same time, at most. A name service that
// never answers leaves one lookup thread per name behind for as long as the
// system resolver tries; beyond this many, Connect fails at once rather
// than start more.
constexpr size_t kMaxPendingLookups = 8;

// How much later than the exchange's deadline the socket's own receive
// timeout may end before it is shortened. Within this, a recv that waits in
// the kernel needs no extra system call; the kernel's timer is coarser
// than a millisecond anyway.
constexpr microseconds kKernelTimerSlack = milliseconds(10);

// A lookup under way, shared by the thread that runs it and by every
// Connect that waits for it.
struct PendingLookup {
  std::mutex mutex;
  std::condition_variable finished;
  bool done = false;
  std::optional<in_addr> address;
};

// The lookups under way, by name. The lookup threads hold it too, so it
// outlives any of them that a Connect gave up on.
struct LookupTable {
  std::mutex mutex;
  std::map<std::string, std::shared_ptr<PendingLookup>> pending;
  HostNameLookup lookup;  // empty: the system resolver
};

const std::shared_ptr<LookupTable>& Lookups() {
  static const std::shared_ptr<LookupTable> table = std::make_shared<LookupTable>();
  return table;
}

// The address of `dotted` when it is four decimal numbers of 0-255 without
// leading zeros, separated by dots and nothing else, the form settings
// usually hold; nullopt for any other text. Everything it accepts
// inet_pton accepts alike, so it only spares the library call.
std::optional<in_addr> ParsePlainDottedQuad(std::string_view dotted) {
  constexpr int kDots = 3;
  constexpr uint32_t kLargestPart = 255;
  uint32_t value = 0;
  uint32_t part = 0;
  int digits = 0;
  int dots = 0;
  for (const char c : dotted) {
    if (c >= '0' && c <= '9') {
      if (digits == 1 && part == 0) return std::nullopt;  // a leading zero
      part = part * 10 + static_cast<uint32_t>(c - '0');
      if (part > kLargestPart) return std::nullopt;
      ++digits;
    } else if (c == '.' && digits > 0 && dots < kDots) {
      value = (value << 8) | part;
      part = 0;
      digits = 0;
      ++dots;
    } else {
      return std::nullopt;
    }
  }
  if (dots != kDots || digits == 0) return std::nullopt;
  in_addr address{};
  address.s_addr = htonl((value << 8) | part);
  return address;
}

std::optional<in_addr> ParseIPv4(const std::string& dotted) {
  if (auto plain = ParsePlainDottedQuad(dotted)) return plain;
  in_addr address{};
  if (::inet_pton(AF_INET, dotted.c_str(), &address) == 1) return address;
  return std::nullopt;
}

std::optional<in_addr> SystemLookup(const std::string& name) {
  addrinfo hints{};
  hints.ai_family = AF_INET;
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (::getaddrinfo(name.c_str(), nullptr, &hints, &found) != 0) return std::nullopt;
  const std::unique_ptr<addrinfo, decltype(&::freeaddrinfo)> owned(found, &::freeaddrinfo);
  if (found == nullptr) return std::nullopt;
  return reinterpret_cast<const sockaddr_in*>(found->ai_addr)->sin_addr;
}

// The lookup of `name` that is under way, joined, or a new one started on
// a thread of its own; nullptr when no thread can be started.
std::shared_ptr<PendingLookup> StartLookup(const std::string& name) {
  const std::shared_ptr<LookupTable>& table = Lookups();
  std::lock_guard lock(table->mutex);
  if (auto found = table->pending.find(name); found != table->pending.end()) return found->second;
  if (table->pending.size() >= kMaxPendingLookups) return nullptr;
  auto pending = std::make_shared<PendingLookup>();
  try {
    std::thread([table, name, pending, lookup = table->lookup] {
      const std::optional<in_addr> address = lookup ? ParseIPv4(lookup(name)) : SystemLookup(name);
      {
        std::lock_guard table_lock(table->mutex);
        if (auto found = table->pending.find(name);
            found != table->pending.end() && found->second == pending) {
          table->pending.erase(found);
        }
      }
      {
        std::lock_guard pending_lock(pending->mutex);
        pending->address = address;
        pending->done = true;
      }
      pending->finished.notify_all();
    }).detach();
  } catch (const std::system_error&) {
    return nullptr;
  }
  table->pending.emplace(name, pending);
  return pending;
}

// The IPv4 address of a dotted address or host name, or nullopt when it
// does not resolve by `deadline`. The system resolver cannot be given a
// deadline, so a name is looked up on a thread of its own that the caller
// stops waiting for at the deadline.
std::optional<in_addr> ResolveIPv4(const std::string& host, Clock::time_point deadline) {
  if (auto address = ParseIPv4(host)) return address;
  if (host.empty()) return std::nullopt;
  const std::shared_ptr<PendingLookup> pending = StartLookup(host);
  if (!pending) return std::nullopt;
  std::unique_lock lock(pending->mutex);
  if (!pending->finished.wait_until(lock, deadline, [&] { return pending->done; })) {
    return std::nullopt;
  }
  return pending->address;
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
    char chunk[16 * 1024];
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
    // Plain ASCII is the same in both encodings and goes out as it is.
    const bool ascii = ascii_words::IsAscii(line);
    const std::string converted = ascii ? std::string() : Utf8ToAnsi(line);
    const std::string_view bytes = ascii ? std::string_view(line) : std::string_view(converted);
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
    return std::string(kTcpSocketProgId) + " local host \"" + local_host_ + "\", remote host \"" +
           remote_host_ + "\", remote port " + std::to_string(remote_port_) +
           (fd_ ? ", connected" : ", not connected");
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

void SetHostNameLookup(HostNameLookup lookup) {
  const std::shared_ptr<LookupTable>& table = Lookups();
  std::lock_guard lock(table->mutex);
  table->lookup = std::move(lookup);
}

std::shared_ptr<Component> MakePosixTcpSocket() { return std::make_shared<PosixTcpSocket>(); }

}  // namespace platform
