// SPDX-License-Identifier: MIT

// The simulator's log: one timestamped line per event, written to a file
// descriptor (normally standard error) by a thread of its own.
//
// Write never waits for the descriptor: lines are queued, and when the
// reader of a pipe stops reading, the queue fills and further lines are
// counted and dropped instead of stopping the sessions that log them.
// Thread-safe.

#ifndef WGSIM_SRC_EVENT_LOG_H_
#define WGSIM_SRC_EVENT_LOG_H_

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace wgsim {

class EventLog {
 public:
  // Writes to `fd`, which must outlive the log, keeping at most
  // `max_queued` lines waiting.
  explicit EventLog(int fd, size_t max_queued = 1024);
  // Writes what is queued, giving up after a short while when the
  // descriptor takes nothing.
  ~EventLog();

  EventLog(const EventLog&) = delete;
  EventLog& operator=(const EventLog&) = delete;

  // Queues "TIME wgsim: TEXT" with the current UTC time. Control
  // characters in `text` are written as '?', so one call is one line.
  void Write(std::string_view text);

  // Lines dropped so far because the queue was full.
  size_t dropped() const;

  // "YYYY-MM-DDTHH:MM:SS.mmmZ" of `time`.
  static std::string Timestamp(std::chrono::system_clock::time_point time);

 private:
  void Drain();
  // Writes `line` whole unless the descriptor takes nothing until `give_up`
  // is set and a short wait has passed.
  bool WriteLine(std::string_view line);

  const int fd_;
  const size_t max_queued_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::string> queue_;
  size_t dropped_ = 0;
  size_t dropped_reported_ = 0;
  bool stopping_ = false;
  std::thread writer_;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_EVENT_LOG_H_
