// SPDX-License-Identifier: MIT

// The BSD socket calls the platform's shared sources make (inet_pton,
// getaddrinfo), on POSIX systems. The build puts this folder or win/ on
// the include path.

#ifndef PLATFORM_SRC_POSIX_SYSTEM_SOCKETS_H_
#define PLATFORM_SRC_POSIX_SYSTEM_SOCKETS_H_

#include <arpa/inet.h>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace platform {

// Whether the socket calls may be made: on POSIX systems always.
inline bool SocketCallsReady() { return true; }

}  // namespace platform

#endif  // PLATFORM_SRC_POSIX_SYSTEM_SOCKETS_H_
