// SPDX-License-Identifier: MIT

// The BSD socket calls the platform's shared sources make (inet_pton,
// getaddrinfo), on Windows: Winsock. The build puts this folder or posix/
// on the include path.

#ifndef PLATFORM_SRC_WIN_SYSTEM_SOCKETS_H_
#define PLATFORM_SRC_WIN_SYSTEM_SOCKETS_H_

#include <winsock2.h>
#include <ws2tcpip.h>

#include "winsock_start_win.h"

namespace platform {

// Whether the socket calls may be made: once Winsock has started.
inline bool SocketCallsReady() { return StartWinsock(); }

}  // namespace platform

#endif  // PLATFORM_SRC_WIN_SYSTEM_SOCKETS_H_
