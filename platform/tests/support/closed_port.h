// SPDX-License-Identifier: MIT

// A port on 127.0.0.1 where nothing listens, and nothing will while the
// object lives: it holds the port bound without listening, so that tests
// running at the same time cannot be given it. A connection attempt there
// is refused at once.

#ifndef PLATFORM_TESTS_SUPPORT_CLOSED_PORT_H_
#define PLATFORM_TESTS_SUPPORT_CLOSED_PORT_H_

#include <cstdint>

#include "socket_calls.h"

namespace testing_support {

class ClosedPort {
 public:
  // Throws std::runtime_error when no port can be held.
  ClosedPort();

  uint16_t port() const { return port_; }

 private:
  uint16_t port_ = 0;  // set while holder_ is made
  UniqueSocket holder_;
};

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_CLOSED_PORT_H_
