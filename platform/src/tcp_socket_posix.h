// SPDX-License-Identifier: MIT

// The socket component's implementation on POSIX sockets.

#ifndef PLATFORM_SRC_TCP_SOCKET_POSIX_H_
#define PLATFORM_SRC_TCP_SOCKET_POSIX_H_

#include <memory>

#include "tessaly/platform/tcp_socket.h"

namespace platform {

// A new, unconnected socket object with the default timeouts.
std::shared_ptr<Component> MakePosixTcpSocket();

}  // namespace platform

#endif  // PLATFORM_SRC_TCP_SOCKET_POSIX_H_
