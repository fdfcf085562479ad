// SPDX-License-Identifier: MIT

#include "event_log.h"

#include <limits.h>
#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>

#include "control_bytes.h"

namespace wgsim {
namespace {

using Clock = std::chrono::steady_clock;

// How long each poll for room on the descriptor lasts, and how long the
// log keeps trying once it is being destroyed.
constexpr int kPollMilliseconds = 100;
constexpr std::chrono::milliseconds kFinalWait{1000};
// A pipe takes a write of at most this many bytes whole once poll reports
// room, so no write blocks for longer.
constexpr size_t kWriteChunk = PIPE_BUF;

}  // namespace

EventLog::EventLog(int fd, size_t max_queued)
    : fd_(fd), max_queued_(max_queued), writer_([this] { Drain(); }) {}

EventLog::~EventLog() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_one();
  writer_.join();
}

std::string EventLog::Timestamp(std::chrono::system_clock::time_point time) {
  const auto since_epoch = time.time_since_epoch();
  const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since_epoch).count();
  const auto millis =
      std::chrono::duration_cast<std::chrono::milliseconds>(since_epoch).count() % 1000;
  std::tm utc{};
  ::gmtime_r(&seconds, &utc);
  char text[40];
  const size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &utc);
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03dZ", static_cast<int>(millis));
  return std::string(text, length) + fraction;
}

void EventLog::Write(std::string_view text) {
  std::string line = Timestamp(std::chrono::system_clock::now()) + " wgsim: ";
  AppendWithoutControls(text, line);
  line += '\n';
  {
    std::lock_guard lock(mutex_);
    if (queue_.size() >= max_queued_) {
      ++dropped_;
      return;
    }
    queue_.push_back(std::move(line));
  }
  wake_.notify_one();
}

size_t EventLog::dropped() const {
  std::lock_guard lock(mutex_);
  return dropped_;
}

bool EventLog::WriteLine(std::string_view line) {
  std::optional<Clock::time_point> give_up_at;
  while (!line.empty()) {
    pollfd entry{fd_, POLLOUT, 0};
    const int ready = ::poll(&entry, 1, kPollMilliseconds);
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) {
      // No room: only a log being destroyed stops waiting.
      std::lock_guard lock(mutex_);
      if (!stopping_) continue;
      if (!give_up_at) give_up_at = Clock::now() + kFinalWait;
      if (Clock::now() >= *give_up_at) return false;
      continue;
    }
    if ((entry.revents & (POLLERR | POLLHUP | POLLNVAL)) != 0) return false;
    const ssize_t done = ::write(fd_, line.data(), std::min(line.size(), kWriteChunk));
    if (done < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (done <= 0) return false;
    line.remove_prefix(static_cast<size_t>(done));
  }
  return true;
}

void EventLog::Drain() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
    if (queue_.empty() && stopping_) return;
    std::deque<std::string> batch;
    batch.swap(queue_);
    const size_t newly_dropped = dropped_ - dropped_reported_;
    dropped_reported_ = dropped_;
    // The writes happen without the lock: Write never waits for them.
    lock.unlock();
    if (newly_dropped > 0) {
      batch.push_front(Timestamp(std::chrono::system_clock::now()) +
                       " wgsim: " + std::to_string(newly_dropped) +
                       " log lines dropped: the log was not being read\n");
    }
    bool broken = false;
    for (const std::string& line : batch) {
      if (broken || !WriteLine(line)) broken = true;
    }
    lock.lock();
    if (broken && stopping_) return;
  }
}

}  // namespace wgsim
