// SPDX-License-Identifier: MIT

#include "full_backlog.h"

#include <stdexcept>

#include "loopback.h"
#include "socket_headers.h"

namespace testing_support {
namespace {

// More attempts than any listen queue of backlog 0 holds.
constexpr int kMaxAttempts = 32;
// How long an attempt may take before it counts as left pending.
constexpr int kPendingAfterMs = 200;

}  // namespace

FullBacklog::FullBacklog() {
  listener_ = BindLoopback(port_, 0, "full backlog");

  const sockaddr_in to = LoopbackAddress(port_);
  for (int attempt = 0; attempt < kMaxAttempts; ++attempt) {
    UniqueSocket filler = NewTcpSocket(true);
    if (!filler) throw std::runtime_error("full backlog: no socket");
    const bool at_once =
        ::connect(filler.get(), reinterpret_cast<const sockaddr*>(&to), sizeof to) == 0;
    if (!at_once && !ConnectUnderWay()) throw std::runtime_error("full backlog: connect");
    const bool finished = at_once || WaitFor(filler.get(), POLLOUT, kPendingAfterMs) != 0;
    fillers_.push_back(std::move(filler));
    if (!finished) return;  // the queue is full: this attempt got no answer
  }
  throw std::runtime_error("full backlog: the listen queue never filled");
}

}  // namespace testing_support
