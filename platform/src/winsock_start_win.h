// SPDX-License-Identifier: MIT

// Winsock, started once for the whole process.

#ifndef PLATFORM_SRC_WINSOCK_START_WIN_H_
#define PLATFORM_SRC_WINSOCK_START_WIN_H_

namespace platform {

// Starts Winsock (WSAStartup, version 2.2) the first time any thread calls
// it; later calls return at once. True when Winsock is ready. Thread-safe.
// It is never stopped: the system tidies up when the process ends, and a
// DLL must not call WSACleanup while it is being unloaded.
bool StartWinsock();

}  // namespace platform

#endif  // PLATFORM_SRC_WINSOCK_START_WIN_H_
