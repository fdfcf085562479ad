// SPDX-License-Identifier: MIT

#include "connection.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>

namespace wgsim {
namespace {

using Clock = std::chrono::steady_clock;

// How long CloseGracefully waits for the client's close.
constexpr std::chrono::milliseconds kLingerTime{200};

}  // namespace

Connection::Connection(platform::UniqueFd fd, int stop_fd, std::chrono::milliseconds timeout,
                       size_t max_line_bytes)
    : fd_(std::move(fd)), stop_fd_(stop_fd), timeout_(timeout), max_line_bytes_(max_line_bytes) {
  ::fcntl(fd_.get(), F_SETFL, ::fcntl(fd_.get(), F_GETFL) | O_NONBLOCK);
}

bool Connection::Wait(short events, Clock::time_point deadline) {
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return false;
    pollfd entries[2] = {{fd_.get(), events, 0}, {stop_fd_, POLLIN, 0}};
    const int ready =
        ::poll(entries, 2, static_cast<int>(std::min<long long>(left.count(), 60'000)));
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    if (entries[1].revents != 0) {
      stopped_ = true;
      return false;
    }
    if (entries[0].revents != 0) return true;
  }
}

Connection::ReadResult Connection::ReadLine(std::string& line,
                                            std::optional<std::chrono::milliseconds> timeout) {
  const Clock::time_point deadline = Clock::now() + timeout.value_or(timeout_);
  for (;;) {
    const size_t end = pending_.find('\n');
    if (end != std::string::npos && end <= max_line_bytes_) {
      line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return ReadResult::kLine;
    }
    if (pending_.size() > max_line_bytes_) return ReadResult::kTooLong;
    if (!Wait(POLLIN, deadline)) return stopped_ ? ReadResult::kStopped : ReadResult::kTimedOut;
    char chunk[4096];
    const size_t room = std::min(sizeof chunk, max_line_bytes_ + 1 - pending_.size());
    const ssize_t got = ::recv(fd_.get(), chunk, room, 0);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    if (got <= 0) return ReadResult::kClosed;
    pending_.append(chunk, static_cast<size_t>(got));
  }
}

bool Connection::Pause(std::chrono::milliseconds delay) {
  const Clock::time_point deadline = Clock::now() + delay;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    if (left.count() <= 0) return true;
    pollfd entry{stop_fd_, POLLIN, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left.count()));
    if (ready > 0) {
      stopped_ = true;
      return false;
    }
    if (ready < 0 && errno != EINTR) return true;
  }
}

bool Connection::SendAll(std::string_view bytes) {
  const Clock::time_point deadline = Clock::now() + timeout_;
  while (!bytes.empty()) {
    const ssize_t sent = ::send(fd_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent > 0) {
      bytes.remove_prefix(static_cast<size_t>(sent));
    } else if (sent < 0 && errno == EINTR) {
      continue;
    } else if (sent < 0 && errno == EAGAIN) {
      if (!Wait(POLLOUT, deadline)) return false;
    } else {
      return false;
    }
  }
  return true;
}

void Connection::CloseGracefully() {
  ::shutdown(fd_.get(), SHUT_WR);
  const Clock::time_point deadline = Clock::now() + kLingerTime;
  char chunk[512];
  while (!stopped_ && Wait(POLLIN, deadline)) {
    const ssize_t got = ::recv(fd_.get(), chunk, sizeof chunk, 0);
    if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) break;
  }
  fd_.Reset();
}

}  // namespace wgsim
