// SPDX-License-Identifier: MIT

// A port whose listen queue is full: the listener never accepts, and its
// queue of finished connections is filled, so that a further client's
// connection attempt is left unanswered.

#ifndef PLATFORM_TESTS_SUPPORT_FULL_BACKLOG_H_
#define PLATFORM_TESTS_SUPPORT_FULL_BACKLOG_H_

#include <cstddef>
#include <cstdint>
#include <vector>

#include "socket_calls.h"

namespace testing_support {

class FullBacklog {
 public:
  // Listens on 127.0.0.1 at a free port with the smallest backlog and
  // connects to it until an attempt is left pending. Throws
  // std::runtime_error when the queue does not fill in a bounded number of
  // attempts.
  FullBacklog();

  FullBacklog(const FullBacklog&) = delete;
  FullBacklog& operator=(const FullBacklog&) = delete;

  uint16_t port() const { return port_; }

  // The connections it made to fill the queue, the pending one included.
  size_t fillers() const { return fillers_.size(); }

 private:
  UniqueSocket listener_;
  uint16_t port_ = 0;
  std::vector<UniqueSocket> fillers_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_FULL_BACKLOG_H_
