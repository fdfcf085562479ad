// SPDX-License-Identifier: MIT

// The system headers of the BSD socket calls (socket, bind, listen,
// connect, getsockname, setsockopt, sockaddr_in) on POSIX systems. The
// build puts this folder or win/ on the include path.

#ifndef PLATFORM_TESTS_SUPPORT_POSIX_SOCKET_HEADERS_H_
#define PLATFORM_TESTS_SUPPORT_POSIX_SOCKET_HEADERS_H_

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>

#endif  // PLATFORM_TESTS_SUPPORT_POSIX_SOCKET_HEADERS_H_
