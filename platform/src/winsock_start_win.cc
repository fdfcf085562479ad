// SPDX-License-Identifier: MIT

#include "winsock_start_win.h"

#include <winsock2.h>

namespace platform {

bool StartWinsock() {
  // A function-local static is initialised once, by the first caller, while
  // the others wait.
  static const bool started = [] {
    WSADATA data{};
    return ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
  }();
  return started;
}

}  // namespace platform
