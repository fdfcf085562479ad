// SPDX-License-Identifier: MIT

// One accepted client connection, read line by line and written with
// bounded waits. Every wait also watches a stop descriptor, so a stopping
// server never waits on a silent client.

#ifndef WGSIM_SRC_CONNECTION_H_
#define WGSIM_SRC_CONNECTION_H_

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

#include "tessaly/platform/unique_fd.h"

namespace wgsim {

class Connection {
 public:
  // Takes `fd` (made non-blocking here). `stop_fd` becomes readable when
  // the server stops. Each line must arrive within `timeout` of the call
  // that reads it and hold at most `max_line_bytes` before its line feed.
  Connection(platform::UniqueFd fd, int stop_fd, std::chrono::milliseconds timeout,
             size_t max_line_bytes);

  enum class ReadResult { kLine, kTooLong, kClosed, kTimedOut, kStopped };

  // The next line, without its line feed, in `line`. Bytes after the line
  // feed are kept for the next call. The line must arrive within
  // `timeout`, or the connection's timeout when it is not given.
  ReadResult ReadLine(std::string& line, std::optional<std::chrono::milliseconds> timeout = {});

  // Waits `delay` without reading or writing; false when the server stops
  // meanwhile.
  bool Pause(std::chrono::milliseconds delay);

  // Sends all of `bytes`; false when the client does not take them within
  // the timeout, the connection breaks, or the server stops.
  bool SendAll(std::string_view bytes);

  // Ends the sending side and waits briefly for the client to close its
  // side, so that the last reply is not cut off by a reset.
  void CloseGracefully();

 private:
  // Waits for `events` on the client until `deadline`; false on timeout or
  // stop (then stopped_ is set).
  bool Wait(short events, std::chrono::steady_clock::time_point deadline);

  platform::UniqueFd fd_;
  const int stop_fd_;
  const std::chrono::milliseconds timeout_;
  const size_t max_line_bytes_;
  std::string pending_;
  bool stopped_ = false;
};

}  // namespace wgsim

#endif  // WGSIM_SRC_CONNECTION_H_
