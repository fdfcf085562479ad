// SPDX-License-Identifier: MIT

// The socket component's implementation on this system's sockets:
// tcp_socket_posix.cc or tcp_socket_win.cc, whichever the build picked.

#ifndef PLATFORM_SRC_TCP_SOCKET_BACKEND_H_
#define PLATFORM_SRC_TCP_SOCKET_BACKEND_H_

#include <memory>

#include "tessaly/platform/tcp_socket.h"

namespace platform {

// A new, unconnected socket object with the default timeouts.
std::shared_ptr<Component> MakeSystemTcpSocket();

}  // namespace platform

#endif  // PLATFORM_SRC_TCP_SOCKET_BACKEND_H_
