// SPDX-License-Identifier: MIT

// The socket's timeouts: their bounds and the process-wide defaults, the
// same for every socket backend.

#include <algorithm>
#include <mutex>

#include "tessaly/platform/tcp_socket.h"

namespace platform {
namespace {

std::mutex g_defaults_mutex;
SocketTimeouts g_defaults;

}  // namespace

SocketTimeouts ClampSocketTimeouts(const SocketTimeouts& timeouts) {
  const auto clamp = [](std::chrono::milliseconds duration) {
    return std::clamp(duration, std::chrono::milliseconds::zero(), kLongestSocketTimeout);
  };
  return {clamp(timeouts.connect), clamp(timeouts.receive), clamp(timeouts.quiet_gap)};
}

SocketTimeouts DefaultSocketTimeouts() {
  std::lock_guard lock(g_defaults_mutex);
  return g_defaults;
}

void SetDefaultSocketTimeouts(const SocketTimeouts& timeouts) {
  std::lock_guard lock(g_defaults_mutex);
  g_defaults = ClampSocketTimeouts(timeouts);
}

}  // namespace platform
