// SPDX-License-Identifier: MIT

// Sockets on 127.0.0.1 for the test servers: the only address tests use.

#ifndef PLATFORM_TESTS_SUPPORT_LOOPBACK_H_
#define PLATFORM_TESTS_SUPPORT_LOOPBACK_H_

#include <cstdint>
#include <string_view>

#include "socket_calls.h"

struct sockaddr_in;  // from socket_headers.h

namespace testing_support {

// Passed as `backlog` for a socket that is bound but never listens: its
// port refuses every connection for as long as the socket is held.
inline constexpr int kDoNotListen = -1;

// The address of `port` on 127.0.0.1.
sockaddr_in LoopbackAddress(uint16_t port);

// A TCP socket bound to 127.0.0.1 at a free port, which goes to `port`,
// listening with `backlog` (or not, with kDoNotListen). Throws
// std::runtime_error, naming `what`, when that cannot be done.
UniqueSocket BindLoopback(uint16_t& port, int backlog, std::string_view what);

// Sends all of `bytes`; false when the connection broke first.
bool SendAll(int fd, std::string_view bytes);

}  // namespace testing_support

#endif  // PLATFORM_TESTS_SUPPORT_LOOPBACK_H_
