// SPDX-License-Identifier: MIT

// The system headers of the BSD socket calls (socket, bind, listen,
// connect, getsockname, setsockopt, sockaddr_in) on Windows: Winsock. The
// build puts this folder or posix/ on the include path.

#ifndef PLATFORM_TESTS_SUPPORT_WIN_SOCKET_HEADERS_H_
#define PLATFORM_TESTS_SUPPORT_WIN_SOCKET_HEADERS_H_

#include <winsock2.h>
#include <ws2tcpip.h>

#endif  // PLATFORM_TESTS_SUPPORT_WIN_SOCKET_HEADERS_H_
